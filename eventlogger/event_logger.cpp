#include "eventlogger/event_logger.h"
