#pragma once
// Connection: a session with one database, with ADO's semantics.
//
// Connection strings are "key=value;" pairs. "Driver=SQLite3;Database=PATH"
// (the driver name in braces or not, any case) opens the native SQLite back
// end: the file must exist; the keys JournalMode and SyncPragma set the
// journal mode and synchronous level when present, Timeout the busy timeout
// in milliseconds (default 5000). Any other string goes to unixODBC's
// SQLDriverConnect unchanged ("Driver={PostgreSQL Unicode};Server=...",
// "DSN=name").
#include <cstdint>
#include <memory>
#include <string>

#include "db/ado.h"

namespace pelmar::db {

namespace detail {
class Session;  // the back end's open session
}

class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Opens the connection. An empty connection string reuses the one of the
    // last Open. Opening an open connection is an error, and so is a database
    // that cannot be reached (the error carries the driver's own text).
    void Open(const std::string& connectionString = {}, const std::string& userId = {},
              const std::string& password = {}, int32_t options = -1);
    // Closes an open connection; closing a closed one does nothing.
    void Close();
    ObjectState State() const noexcept;
    const std::string& ConnectionString() const noexcept { return connectionString_; }

    // The open session, for Recordset and Command; throws when closed.
    detail::Session& session() const;

private:
    std::string connectionString_;
    std::unique_ptr<detail::Session> session_;
};

// The connection a step needs; a missing one is the runtime's "Object
// required" (424), as using an unset object is.
Connection& Required(Connection* connection);

}  // namespace pelmar::db
