#include "db/odbc_call.h"

#include <sqlext.h>

#include "db/db_error_source.h"
#include "db/odbc_diagnostics.h"

namespace pelmar::db::detail {
namespace {

// psqlODBC reports a session that the server ended (a server shutting down,
// pg_terminate_backend) as HY000; that its link is gone it tells through
// SQL_ATTR_CONNECTION_DEAD, a flag of its own, without asking the server.
// (The MariaDB driver would ping for it; its errors carry the client
// library's numbers instead.)
bool LinkDead(const Link& link) {
    if (link.dialect != Dialect::PostgreSQL) return false;
    SQLUINTEGER dead = SQL_CD_FALSE;
    return Succeeded(SQLGetConnectAttr(link.dbc, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) && dead == SQL_CD_TRUE;
}

}  // namespace

Call::Call(Link& link, int32_t timeout, const std::string& sql, const char* what)
        : link_(link), timeout_(timeout), sql_(sql), what_(what), armed_(timeout > 0) {
    if (armed_) link_.watchdog.Arm(std::chrono::seconds(timeout_) + kWatchdogGrace);
}

Call::~Call() {
    // The call succeeded just as its sockets went down: the next one fails at once.
    if (End())
        link_.fault->Remember(TimedOut(
            what_, timeout_, "the server did not answer in time, so the connection was shut down.", kSourceOdbc, sql_));
}

bool Call::End() {
    if (!armed_) return false;
    armed_ = false;
    return link_.watchdog.Disarm();
}

void Call::check(SQLSMALLINT handleType, SQLHANDLE handle, SQLRETURN rc) {
    if (Succeeded(rc)) return;
    const bool shutDown = End();
    OdbcFailure failure = ReadFailure(handleType, handle, rc, link_.dialect);
    if (failure.kind == FailureKind::Statement && LinkDead(link_)) failure.kind = FailureKind::Broken;
    // A lost link or a cancellation that ends a call which used up its time
    // is the time limit at work (a driver's own or the server's).
    const bool pastLimit = timeout_ > 0 && std::chrono::steady_clock::now() - start_ >= std::chrono::seconds(timeout_);
    const bool timedOut = shutDown || (timeout_ > 0 && (failure.kind == FailureKind::TimedOut ||
                                                        (pastLimit && failure.kind != FailureKind::Statement)));
    const DbError error =
        !timedOut ? DbError(errnum::DatabaseError, failure.text, kSourceOdbc, sql_)
        : shutDown
            ? TimedOut(what_, timeout_, "the server did not answer, so the connection was shut down: " + failure.text,
                       kSourceOdbc, sql_)
            : TimedOut(what_, timeout_, failure.text, kSourceOdbc, sql_);
    if (timedOut || failure.kind == FailureKind::Broken || failure.kind == FailureKind::TimedOut)
        link_.fault->Remember(error);
    throw error;
}

}  // namespace pelmar::db::detail
