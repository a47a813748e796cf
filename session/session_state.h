#pragma once
// SessionState: what Init establishes and what the windows share. One
// instance per host thread, shared by every Manager and every window on it.
#include <cstdint>
#include <memory>
#include <string>

#include "core/column_map.h"
#include "core/enums.h"
#include "db/connection.h"
#include "eventlogger/event_logger.h"

namespace pelmar {

struct SessionState {
    std::string ClientDBString;
    std::string RemoteDBString;
    int32_t UserID = 0;
    std::string LogFilePath;
    UserType CurrentUserType = GeneralUser;
    RunApplicationAt RunAt = RuntAtClient;
    std::shared_ptr<db::Connection> RemoteConnection;  // unset until Init
    std::shared_ptr<db::Connection> LocalConnection;   // unset until Init at a client
    ImportToType ImportTo = SharedFolder;
    std::string ImportToID;
    pelmar::ColumnMap ColumnMap;
    bool InitDone = false;
    std::shared_ptr<EventLogger> Logger;
};

// The calling thread's instance, created empty on first use.
SessionState& Session();

// A connection object of the session that must exist by now; a missing one
// is the runtime's "Object required" (424).
db::Connection& RequiredConnection(const std::shared_ptr<db::Connection>& connection);

}  // namespace pelmar
