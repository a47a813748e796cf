#include "session/session_log.h"

#include "common/error.h"
#include "common/general.h"
#include "common/ui.h"
#include "session/logger_factory.h"
#include "session/session_state.h"

namespace pelmar {

EventLogger& SessionLogger() {
    if (!Session().Logger) throw Error(errnum::ObjectRequired, "Object required");
    return *Session().Logger;
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

void RecordError(const std::function<EventLogger&()>& logger, const ErrorInfo& error, const std::string& message,
                 LogStamp stamp) noexcept {
    Attempt([&] { logger().WriteErrorLog(Session().LogFilePath, error, message, stamp, LogWrite::Append); });
}

void RecordSessionError(const ErrorInfo& error, const std::string& message, LogStamp stamp) {
    std::shared_ptr<EventLogger> logger = Session().Logger;
    const auto sessionOrPrivate = [&]() -> EventLogger& {
        if (!logger) logger = CreateEventLogger();
        return *logger;
    };
    RecordError(sessionOrPrivate, error, message, stamp);
}

void ReportFailure(std::shared_ptr<EventLogger> logger, const std::string& prompt, const ErrorInfo& error,
                   const std::string& message, LogStamp stamp) {
    Attempt([&] {
        if (!logger) logger = CreateEventLogger();
        logger->ShowMessage(prompt, msgbox::Critical);
    });
    if (logger) RecordError([&]() -> EventLogger& { return *logger; }, error, message, stamp);
}

bool IsValidEmail(const std::string& address) { return IsValidEmail(address, RecordSessionError); }

}  // namespace pelmar
