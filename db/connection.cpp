#include "db/connection.h"

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

}  // namespace

Connection::Connection() = default;
Connection::~Connection() = default;

void Connection::Open(const std::string& connectionString, const std::string& userId, const std::string& password,
                      int32_t) {
    if (session_) detail::ThrowAdo(detail::adoerr::ObjectOpen, "Operation is not allowed when the object is open.");
    const std::string effective = connectionString.empty() ? connectionString_ : connectionString;
    if (effective.empty())
        detail::ThrowAdo(detail::adoerr::BadArguments, "No connection string was given and none was used before.");
    if (SqliteDatabasePath(effective)) {
        session_ = detail::OpenSqliteSession(effective);
    } else {
        std::string odbc = effective;
        if (!userId.empty() || !password.empty()) {
            if (!odbc.empty() && odbc.back() != ';') odbc += ';';
            odbc += "UID=" + ConnectionStringValue(userId) + ";PWD=" + ConnectionStringValue(password) + ";";
        }
        session_ = detail::OpenOdbcSession(odbc);
    }
    connectionString_ = effective;
}

void Connection::Close() { session_.reset(); }

ObjectState Connection::State() const noexcept { return session_ ? adStateOpen : adStateClosed; }

detail::Session& Connection::session() const {
    if (!session_)
        detail::ThrowAdo(detail::adoerr::ConnectionUnusable,
                         "The connection cannot be used to perform this operation. It is either "
                         "closed or invalid in this context.");
    return *session_;
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
