#include "common/error.h"

#include "eventlogger/event_logger.h"

namespace pelmar {

ErrorInfo ErrorInfoOf(const std::exception& e) {
    if (const auto* error = dynamic_cast<const Error*>(&e)) return error->Info();
    // The logging component reports its own failures under its own name.
    if (const auto* error = dynamic_cast<const EventLoggerError*>(&e))
        return {error->Number(), error->what(), "EventLogger"};
    return {errnum::InvalidProcedureCall, e.what(), "PelmarImpExp"};
}

ErrorInfo CurrentErrorInfo() {
    try {
        throw;
    } catch (const std::exception& e) {
        return ErrorInfoOf(e);
    } catch (...) {
        return {errnum::InvalidProcedureCall, "Unknown error", "PelmarImpExp"};
    }
}

}  // namespace pelmar
