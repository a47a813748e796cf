#pragma once
// The component creates every EventLogger through this factory, so that a host
// or a test can put its own in place. The default one shows its messages
// through the calling thread's UserInterface, titled with the product name.
#include <functional>
#include <memory>

#include "eventlogger/event_logger.h"

namespace pelmar {

using EventLoggerFactory = std::function<std::shared_ptr<EventLogger>()>;

void SetEventLoggerFactory(EventLoggerFactory factory);  // empty restores the default
// Never null: throws pelmar::Error when no logger can be made.
std::shared_ptr<EventLogger> CreateEventLogger();

}  // namespace pelmar
