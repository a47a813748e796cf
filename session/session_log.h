#pragma once
// The component's logging through the session: Init's logger for every log
// line, and the one place where a failure path records its failure.
#include <functional>
#include <memory>
#include <string>

#include "common/error_info.h"
#include "eventlogger/event_logger.h"

namespace pelmar {

struct SessionState;

// The session's logger; the runtime's "Object required" (424) when no Init
// ever made one.
EventLogger& SessionLogger(const SessionState& session);

// Records a failure in the session's log file (LogFilePath) with
// WriteErrorLog, appending, through the logger `logger` gives. Whoever calls
// this has settled on its neutral result already, so a record that cannot be
// made is dropped: there is nowhere left to report it.
void RecordError(const SessionState& session, const std::function<EventLogger&()>& logger, const ErrorInfo& error,
                 const std::string& message, LogStamp stamp) noexcept;

// Records a failure in the session's log file (LogFilePath) with
// WriteErrorLog, appending, through the session's logger or, when no Init
// ever made one, a private one; as RecordError.
void RecordSessionError(const SessionState& session, const ErrorInfo& error, const std::string& message,
                        LogStamp stamp);

// A failure path that tells the user through a logger: `logger` (or, when
// null, a private one made for the report) shows `prompt` with the stop icon,
// then records the failure in the session's log file. Neither may fail the
// routine whose failure is being reported.
void ReportFailure(const SessionState& session, std::shared_ptr<EventLogger> logger, const std::string& prompt,
                   const ErrorInfo& error, const std::string& message, LogStamp stamp);

// The import run's e-mail syntax check, recording its own failure in the
// session's log.
bool IsValidEmail(const SessionState& session, const std::string& address);

}  // namespace pelmar
