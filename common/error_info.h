#pragma once
// The details a failure path records: the runtime's number, description and
// source of the failure being handled, and the two switches of a log call.
#include <cstdint>
#include <functional>
#include <string>

namespace pelmar {

struct ErrorInfo {
    int32_t Number = 0;
    std::string Description;
    std::string Source;
};

// Whether a log line starts with the date and time ("FlagA"), and whether it
// is added to the file or starts the file afresh ("FlagB").
enum class LogStamp : bool { None = false, DateTime = true };
enum class LogWrite : bool { Truncate = false, Append = true };

// Where a routine with a failure path of its own records a failure: the error,
// the routine's message and whether the record is stamped. The record goes to
// the session's log; a recorder never throws.
using ErrorRecorder = std::function<void(const ErrorInfo& error, const std::string& message, LogStamp stamp)>;

}  // namespace pelmar
