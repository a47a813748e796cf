#include "eventlogger/event_logger.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "common/clock.h"
#include "common/file.h"
#include "common/text.h"

namespace pelmar {
namespace {

// Writes one line with a single append, so that a reader between two calls
// always sees whole lines and the file is never held open.
void WriteLine(const std::string& logFile, const std::string& line, LogWrite write) {
    if (logFile.empty())
        throw EventLoggerError(errnum::PathFileAccessError, "Path/File access error: no log file named");
    try {
        const std::filesystem::path folder = std::filesystem::path(logFile).parent_path();
        if (!folder.empty()) {
            std::error_code ec;
            std::filesystem::create_directories(folder, ec);
            if (ec) throw FileError(ec.value(), logFile, false);
        }
        File file(logFile, write == LogWrite::Append ? File::Mode::Append : File::Mode::Output);
        file.Write(line + "\n");
        file.Close();
    } catch (const Error& e) {
        throw EventLoggerError(e.Number(), e.Description());
    }
}

std::string Line(const std::string& text, LogStamp stamp) {
    return (stamp == LogStamp::DateTime ? NowDateTime() + " " : std::string()) + FoldLineBreaks(text);
}

}  // namespace

EventLogger::EventLogger(MessageSink sink) : sink_(std::move(sink)) {}

EventLogger::~EventLogger() = default;

void EventLogger::WriteLog(const std::string& logFile, const std::string& message, LogStamp stamp, LogWrite write) {
    WriteLine(logFile, Line(message, stamp), write);
}

void EventLogger::WriteErrorLog(const std::string& logFile, const ErrorInfo& error, const std::string& message,
                                LogStamp stamp, LogWrite write) {
    const std::string record = message + " [Error " + std::to_string(error.Number) + ": " + error.Description +
                               "; Source: " + error.Source + "]";
    WriteLine(logFile, Line(record, stamp), write);
}

void EventLogger::ShowMessage(const std::string& message, int32_t style) {
    if (sink_) {
        sink_(message, style);
        return;
    }
    std::cerr << NormaliseLineBreaks(message) << '\n' << std::flush;
}

std::string EventLogger::DatabaseType() const {
    const char* type = std::getenv("PELMAR_DATABASE_TYPE");
    return type ? type : "";
}

}  // namespace pelmar
