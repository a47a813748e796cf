#include "common/clock.h"

#include <ctime>

namespace pelmar {
namespace {

std::string Format(std::chrono::system_clock::time_point when, const char* pattern) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(when);
    std::tm local{};
    localtime_r(&seconds, &local);
    char buffer[32];
    const std::size_t length = std::strftime(buffer, sizeof buffer, pattern, &local);
    return std::string(buffer, length);
}

}  // namespace

std::string FormatDate(std::chrono::system_clock::time_point when) { return Format(when, "%d/%m/%Y"); }

std::string FormatTime(std::chrono::system_clock::time_point when) { return Format(when, "%H:%M:%S"); }

std::string NowDateTime() {
    // One reading of the clock, so that date and time belong together.
    const auto now = std::chrono::system_clock::now();
    return FormatDate(now) + " " + FormatTime(now);
}

}  // namespace pelmar
