#pragma once
// Dates and times as the log lines write them: "dd/mm/yyyy" and "hh:mm:ss"
// (24-hour clock), in local time.
#include <chrono>
#include <string>

namespace pelmar {

std::string FormatDate(std::chrono::system_clock::time_point when);
std::string FormatTime(std::chrono::system_clock::time_point when);
// The current date, one blank, and the current time.
std::string NowDateTime();

}  // namespace pelmar
