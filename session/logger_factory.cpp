#include "session/logger_factory.h"

#include <mutex>

#include "common/error.h"
#include "common/ui.h"

namespace pelmar {
namespace {

std::mutex factoryMutex;
EventLoggerFactory installedFactory;

std::shared_ptr<EventLogger> CreateDefaultLogger() {
    // The box is shown on whichever thread calls ShowMessage, through that
    // thread's hook.
    return std::make_shared<EventLogger>([](const std::string& message, int32_t style) {
        CurrentUserInterface().ShowMessageBox(message, style, kProductTitle);
    });
}

}  // namespace

void SetEventLoggerFactory(EventLoggerFactory factory) {
    std::lock_guard lock(factoryMutex);
    installedFactory = std::move(factory);
}

std::shared_ptr<EventLogger> CreateEventLogger() {
    EventLoggerFactory factory;
    {
        std::lock_guard lock(factoryMutex);
        factory = installedFactory;
    }
    std::shared_ptr<EventLogger> logger = factory ? factory() : CreateDefaultLogger();
    // Callers use what they get at once: a factory that made nothing is a
    // failure of the call that asked, not a crash later.
    if (!logger) throw Error(errnum::ObjectRequired, "The event logger could not be created");
    return logger;
}

}  // namespace pelmar
