#include "common/logger_factory.h"

#include <mutex>

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
    return factory ? factory() : CreateDefaultLogger();
}

}  // namespace pelmar
