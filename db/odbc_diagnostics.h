#pragma once
// What an ODBC driver says about a failed call, and what the failure means
// for the connection.
#include <sql.h>

#include <string>

#include "db/dialect.h"

namespace pelmar::db::detail {

inline bool Succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// In order of weight: of several diagnostic records, the heaviest counts.
enum class FailureKind {
    Statement,  // this statement failed; the connection is fine
    Cancelled,  // the server stopped the statement (its time limit, or an operator)
    TimedOut,   // the driver's own time limit
    Broken,     // the link to the server is gone
};

struct OdbcFailure {
    // The diagnostic records, one "message (SQLSTATE s, native error n)"
    // each, joined by "; ".
    std::string text;
    FailureKind kind = FailureKind::Statement;
};

OdbcFailure ReadFailure(SQLSMALLINT handleType, SQLHANDLE handle, SQLRETURN rc, Dialect dialect);

}  // namespace pelmar::db::detail
