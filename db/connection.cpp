#include "db/connection.h"

#include <charconv>

#include "db/backend.h"
#include "db/connection_string.h"
#include "db/db_error_source.h"

namespace pelmar::db {
namespace {

// A value as a connection string may hold it: in braces when it has a
// character that would end or open a value.
std::string ConnectionStringValue(const std::string& value) {
    if (value.find_first_of(";{}= ") == std::string::npos) return value;
    std::string braced = "{";
    for (char c : value) {
        braced += c;
        if (c == '}') braced += '}';
    }
    return braced + "}";
}

void CheckSeconds(const std::string& name, int32_t seconds) {
    if (seconds < 0) detail::ThrowAdo(detail::adoerr::BadArguments, name + " must be 0 or more seconds.");
}

// A whole number of seconds from the connection string.
int32_t SecondsValue(const ConnectionStringPairs& pairs, const std::string& key, int32_t otherwise) {
    const auto text = FindConnectionValue(pairs, key);
    if (!text) return otherwise;
    int32_t seconds = -1;
    const auto [end, ec] = std::from_chars(text->data(), text->data() + text->size(), seconds);
    if (ec != std::errc() || end != text->data() + text->size() || seconds < 0)
        detail::ThrowAdo(detail::adoerr::BadArguments,
                         "Invalid " + key + " value '" + *text + "' in the connection string.");
    return seconds;
}

}  // namespace

Connection::Connection() = default;

Connection::~Connection() {
    // A transaction left open goes back when the object goes, as in ADO. A
    // failure here has no caller to go to, and the database drops the
    // transaction with the session anyway.
    if (session_ && transactionLevel_ > 0 && !session_->IsBroken()) {
        try {
            session_->Transact(detail::TransactionStep::Rollback, 1, commandTimeout_);
        } catch (const DbError&) {
        }
    }
}

void Connection::Open(const std::string& connectionString, const std::string& userId, const std::string& password,
                      int32_t) {
    if (session_) detail::ThrowAdo(detail::adoerr::ObjectOpen, "Operation is not allowed when the object is open.");
    const std::string effective = connectionString.empty() ? connectionString_ : connectionString;
    if (effective.empty())
        detail::ThrowAdo(detail::adoerr::BadArguments, "No connection string was given and none was used before.");
    const auto pairs = ParseConnectionString(effective);
    const int32_t commandTimeout = SecondsValue(pairs, "CommandTimeout", commandTimeout_);
    const int32_t connectTimeout = SecondsValue(pairs, "ConnectTimeout", connectionTimeout_);
    if (SqliteDatabasePath(effective)) {
        session_ = detail::OpenSqliteSession(effective);
    } else {
        std::string odbc = RemoveConnectionKeys(effective, {"CommandTimeout", "ConnectTimeout"});
        if (!userId.empty() || !password.empty()) {
            if (!odbc.empty() && odbc.back() != ';') odbc += ';';
            odbc += "UID=" + ConnectionStringValue(userId) + ";PWD=" + ConnectionStringValue(password) + ";";
        }
        session_ = detail::OpenOdbcSession(odbc, connectTimeout);
    }
    connectionString_ = effective;
    commandTimeout_ = commandTimeout;
    connectionTimeout_ = connectTimeout;
    transactionLevel_ = 0;
}

void Connection::Close() {
    // A broken session has no transaction left to keep.
    if (session_ && transactionLevel_ > 0 && !session_->IsBroken())
        detail::ThrowAdo(detail::adoerr::InTransaction,
                         "Connection object cannot be explicitly closed while in a transaction.");
    session_.reset();
    transactionLevel_ = 0;
}

ObjectState Connection::State() const noexcept { return session_ ? adStateOpen : adStateClosed; }

detail::BackendSession& Connection::session() const {
    if (!session_)
        detail::ThrowAdo(detail::adoerr::ConnectionUnusable,
                         "The connection cannot be used to perform this operation. It is either "
                         "closed or invalid in this context.");
    return *session_;
}

int32_t Connection::BeginTrans() {
    detail::BackendSession& s = session();
    s.CheckUsable({});
    s.Transact(detail::TransactionStep::Begin, transactionLevel_ + 1, commandTimeout_);
    return ++transactionLevel_;
}

// A level that fails to end stays open, so that RollbackTrans can end it.
void Connection::CommitTrans() {
    detail::BackendSession& s = session();
    if (transactionLevel_ == 0) detail::ThrowAdo(detail::adoerr::NoTransaction, "No transaction is active.");
    s.CheckUsable({});
    s.Transact(detail::TransactionStep::Commit, transactionLevel_, commandTimeout_);
    --transactionLevel_;
}

void Connection::RollbackTrans() {
    detail::BackendSession& s = session();
    if (transactionLevel_ == 0) detail::ThrowAdo(detail::adoerr::NoTransaction, "No transaction is active.");
    s.CheckUsable({});
    s.Transact(detail::TransactionStep::Rollback, transactionLevel_, commandTimeout_);
    --transactionLevel_;
}

void Connection::SetCommandTimeout(int32_t seconds) {
    CheckSeconds("CommandTimeout", seconds);
    commandTimeout_ = seconds;
}

void Connection::SetConnectionTimeout(int32_t seconds) {
    CheckSeconds("ConnectionTimeout", seconds);
    connectionTimeout_ = seconds;
}

Connection& Required(Connection* connection) {
    if (!connection) throw pelmar::Error(errnum::ObjectRequired, "Object required");
    return *connection;
}

Dialect DialectOf(const Connection& connection) { return connection.session().GetDialect(); }

std::string_view DialectName(Dialect dialect) {
    switch (dialect) {
        case Dialect::SQLite: return "SQLite";
        case Dialect::PostgreSQL: return "PostgreSQL";
        case Dialect::MySQL: return "MySQL";
        case Dialect::Other: break;
    }
    return "Other";
}

}  // namespace pelmar::db
