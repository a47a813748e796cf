#pragma once
// EventLogger: the host product's logging component. The import/export
// component only creates it (through its factory) and calls it.
//
// Line layout of the log files it writes (UTF-8, one line per call, LF, each
// written to the file before the call returns):
//   LogStamp::DateTime:  "dd/mm/yyyy hh:mm:ss <message>"
//   LogStamp::None    :  "<message>"   (the caller's text as is)
// LogWrite::Append adds to the file; LogWrite::Truncate starts it afresh.
// The file and its folder are created when missing. A file appended to stays
// open between calls while the path still names it; a log that was deleted or
// rotated away is opened afresh. Error records are one line:
//   "<message> [Error <number>: <description>; Source: <source>]"
// with line breaks inside the text folded to blanks.
//
// DatabaseType names the host's database engine. It comes from the
// environment variable PELMAR_DATABASE_TYPE, read on every call ("" when
// unset); hosts that talk to MySQL or MariaDB set it to "MySQL".
//
// Every failure (a file that cannot be written, ...) is thrown to the caller
// as EventLoggerError, a runtime error whose source is "EventLogger".
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "common/error.h"

namespace pelmar {

class EventLoggerError : public Error {
public:
    EventLoggerError(int32_t number, const std::string& description) : Error(number, description, "EventLogger") {}
};

class EventLogger {
public:
    // Where ShowMessage sends its text; the host installs one (message, style).
    using MessageSink = std::function<void(const std::string&, int32_t)>;

    explicit EventLogger(MessageSink sink = {});
    virtual ~EventLogger();

    virtual void WriteLog(const std::string& logFile, const std::string& message, LogStamp stamp, LogWrite write);
    virtual void WriteErrorLog(const std::string& logFile, const ErrorInfo& error, const std::string& message,
                               LogStamp stamp, LogWrite write);
    virtual void ShowMessage(const std::string& message, int32_t style);
    virtual std::string DatabaseType() const;

private:
    void WriteLine(const std::string& logFile, const std::string& line, LogWrite write);

    MessageSink sink_;
    struct OpenFiles;
    std::unique_ptr<OpenFiles> open_;
};

}  // namespace pelmar
