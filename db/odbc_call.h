#pragma once
// One call into an ODBC driver: bounded in time by the connection's
// watchdog, its failure turned into a DbError, and that error remembered
// when it leaves the connection unusable (a broken link, a timeout).
#include <sql.h>

#include <chrono>
#include <memory>
#include <string>

#include "db/backend.h"
#include "db/odbc_watchdog.h"

namespace pelmar::db::detail {

// How long past a call's own time limit the watchdog waits before it shuts
// the connection's sockets down. The server's own limit (statement_timeout,
// max_statement_time) normally ends the statement at the limit; the watchdog
// is for a server that cannot answer at all.
inline constexpr std::chrono::seconds kWatchdogGrace{2};

// What a session shares with its statements.
struct Link {
    explicit Link(std::shared_ptr<Fault> sessionFault) : fault(std::move(sessionFault)) {}

    std::shared_ptr<Fault> fault;
    Watchdog watchdog;
    SQLHDBC dbc = SQL_NULL_HANDLE;
    Dialect dialect = Dialect::Other;
    // MariaDB: the driver ignores SQL_ATTR_QUERY_TIMEOUT, so the session's
    // max_statement_time carries the limit; -1 until set.
    bool limitBySession = false;
    int32_t sessionLimit = -1;
    // The server returns generated keys from an INSERT ... RETURNING
    // (PostgreSQL; MariaDB from 10.5).
    bool insertReturning = false;
};

class Call {
public:
    // `timeout` in seconds, 0 for none; `sql` must outlive the call; `what`
    // names it in a timeout's text.
    Call(Link& link, int32_t timeout, const std::string& sql, const char* what = "command");
    ~Call();
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    // Throws the failure when `rc` is one.
    void check(SQLSMALLINT handleType, SQLHANDLE handle, SQLRETURN rc);

private:
    // Stops the watchdog's clock once; true when it shut the sockets down.
    bool End();

    Link& link_;
    int32_t timeout_;
    const std::string& sql_;
    const char* what_;
    std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    bool armed_;
};

}  // namespace pelmar::db::detail
