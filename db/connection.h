#pragma once
// Connection: a session with one database, with ADO's semantics.
//
// Connection strings are "key=value;" pairs. "Driver=SQLite3;Database=PATH"
// (the driver name in braces or not, any case) opens the native SQLite back
// end: the file must exist; the keys JournalMode and SyncPragma set the
// journal mode and synchronous level when present, Timeout the busy timeout
// in milliseconds (default 5000). Any other string goes to unixODBC's
// SQLDriverConnect ("Driver={PostgreSQL Unicode};Server=...", "DSN=name")
// without the keys of this layer: CommandTimeout and ConnectTimeout (seconds)
// set the properties of the same names when the connection opens.
#include <cstdint>
#include <memory>
#include <string>

#include "db/ado.h"

namespace pelmar::db {

namespace detail {
class BackendSession;  // the back end's open session
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

    // Transactions. BeginTrans starts one and returns its level, 1; inside
    // one it starts a nested level (a savepoint) and returns that level.
    // CommitTrans and RollbackTrans end the innermost level: rolling back a
    // nested level undoes only what ran since it began. Without a
    // transaction both are errors. Outside a transaction every statement
    // commits on its own. Closing with a transaction open is an error;
    // destroying the object rolls it back.
    int32_t BeginTrans();
    void CommitTrans();
    void RollbackTrans();

    // Seconds a statement may run (default 30, 0: no limit). A statement
    // that runs longer fails with "The command timed out ...", and so does
    // every later statement on the connection, at once, until it is closed
    // and opened again; so do calls after the link to the server broke.
    void SetCommandTimeout(int32_t seconds);
    int32_t GetCommandTimeout() const noexcept { return commandTimeout_; }
    // Seconds opening may take (default 15, 0: no limit); set before Open.
    void SetConnectionTimeout(int32_t seconds);
    int32_t GetConnectionTimeout() const noexcept { return connectionTimeout_; }

    // The open session, for Recordset and Command; throws when closed.
    detail::BackendSession& session() const;

private:
    std::string connectionString_;
    std::unique_ptr<detail::BackendSession> session_;
    int32_t commandTimeout_ = 30;
    int32_t connectionTimeout_ = 15;
    int32_t transactionLevel_ = 0;
};

// The connection a step needs; a missing one is the runtime's "Object
// required" (424), as using an unset object is.
Connection& Required(Connection* connection);

}  // namespace pelmar::db
