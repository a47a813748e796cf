#pragma once
// EventLogger: the host product's logging component. The import/export
// component only creates it (through the factory below) and calls it.
//
// Line layout of the log files it writes (UTF-8, one line per call, LF):
//   FlagA True :  "dd/mm/yyyy hh:mm:ss <message>"   (a date and time stamp)
//   FlagA False:  "<message>"                       (the caller's text as is)
// FlagB True appends to the file; False starts the file afresh.
// The file and its folder are created when missing. Error records are one line:
//   "<message> [Error <number>: <description>; Source: <source>]"
// with line breaks inside the description folded to blanks.
//
// DatabaseType names the host's database engine. It comes from the
// environment variable PELMAR_DATABASE_TYPE, read on every call ("" when
// unset); hosts that talk to MySQL or MariaDB set it to "MySQL".
//
// Every failure (a file that cannot be written, ...) is thrown to the caller
// as EventLoggerError, carrying a runtime error number and a description.
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

#include "eventlogger/error_info.h"

namespace pelmar {

class EventLoggerError : public std::runtime_error {
public:
    EventLoggerError(int32_t number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    int32_t Number() const noexcept { return number_; }

private:
    int32_t number_;
};

class EventLogger {
public:
    // Where ShowMessage sends its text; the host installs one (message, style).
    using MessageSink = std::function<void(const std::string&, int32_t)>;

    explicit EventLogger(MessageSink sink = {});
    virtual ~EventLogger();

    virtual void WriteLog(const std::string& logFile, const std::string& message, bool flagA,
                          bool flagB);
    virtual void WriteErrorLog(const std::string& logFile, const ErrorInfo& error,
                               const std::string& message, bool flagA, bool flagB);
    virtual void ShowMessage(const std::string& message, int32_t style);
    virtual std::string DatabaseType() const;

private:
    MessageSink sink_;
};

}  // namespace pelmar
