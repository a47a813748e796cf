#include "session/session_log.h"

#include "common/error.h"
#include "common/general.h"
#include "common/ui.h"
#include "session/logger_factory.h"
#include "session/session_state.h"

namespace pelmar {

EventLogger& SessionLogger(const SessionState& session) {
    if (!session.Logger) throw Error(errnum::ObjectRequired, "Object required");
    return *session.Logger;
}

namespace {

// Runs one step of a failure report; a step that fails is dropped, since
// there is nowhere left to report it.
template <typename Step>
void Attempt(Step&& step) noexcept {
    try {
        step();
    } catch (...) {  // NOLINT(bugprone-empty-catch)
    }
}

}  // namespace

void RecordError(const SessionState& session, const std::function<EventLogger&()>& logger, const ErrorInfo& error,
                 const std::string& message, LogStamp stamp) noexcept {
    Attempt([&] { logger().WriteErrorLog(session.LogFilePath, error, message, stamp, LogWrite::Append); });
}

void RecordSessionError(const SessionState& session, const ErrorInfo& error, const std::string& message,
                        LogStamp stamp) {
    std::shared_ptr<EventLogger> logger = session.Logger;
    const auto sessionOrPrivate = [&]() -> EventLogger& {
        if (!logger) logger = CreateEventLogger();
        return *logger;
    };
    RecordError(session, sessionOrPrivate, error, message, stamp);
}

void ReportFailure(const SessionState& session, std::shared_ptr<EventLogger> logger, const std::string& prompt,
                   const ErrorInfo& error, const std::string& message, LogStamp stamp) {
    Attempt([&] {
        if (!logger) logger = CreateEventLogger();
        logger->ShowMessage(prompt, msgbox::Critical);
    });
    if (logger)
        RecordError(
            session, [&]() -> EventLogger& { return *logger; }, error, message, stamp);
}

bool IsValidEmail(const SessionState& session, const std::string& address) {
    return IsValidEmail(address, [&](const ErrorInfo& error, const std::string& message, LogStamp stamp) {
        RecordSessionError(session, error, message, stamp);
    });
}

}  // namespace pelmar
