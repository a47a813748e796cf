#include "db/odbc_diagnostics.h"

#include <sqlext.h>

#include <algorithm>
#include <iterator>

#include "db/db_error_source.h"
#include "db/utf16.h"

namespace pelmar::db::detail {
namespace {

FailureKind Classify(const std::string& state, SQLINTEGER native, Dialect dialect) {
    if (state.starts_with("08")) return FailureKind::Broken;  // connection exceptions
    if (state == "HYT00" || state == "HYT01") return FailureKind::TimedOut;
    if (dialect == Dialect::PostgreSQL) {
        if (state == "57014") return FailureKind::Cancelled;  // query_canceled, statement_timeout's too
        // admin_shutdown (a stopping server, pg_terminate_backend), crash_shutdown,
        // cannot_connect_now
        if (state == "57P01" || state == "57P02" || state == "57P03") return FailureKind::Broken;
    }
    if (dialect == Dialect::MySQL) {
        // The client library's numbers, whatever SQLSTATE the driver maps them to:
        // server gone away, lost connection (twice), connection killed.
        if (native == 2006 || native == 2013 || native == 2055 || native == 1927) return FailureKind::Broken;
        // max_statement_time exceeded (MariaDB), max_execution_time exceeded (MySQL)
        if (native == 1969 || native == 3024) return FailureKind::Cancelled;
    }
    return FailureKind::Statement;
}

}  // namespace

OdbcFailure ReadFailure(SQLSMALLINT handleType, SQLHANDLE handle, SQLRETURN rc, Dialect dialect) {
    OdbcFailure failure;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[2048] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN drc = SQLGetDiagRecW(handleType, handle, record, state, &native, message,
                                             static_cast<SQLSMALLINT>(std::size(message)), &length);
        if (!Succeeded(drc)) break;
        const auto len =
            std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)), std::size(message) - 1);
        std::string line = FoldLines(Utf16ToUtf8({reinterpret_cast<const char16_t*>(message), len}));
        // psqlODBC converts text with the process locale (LC_CTYPE from the environment).
        if (line.find("current locale") != std::string::npos || line.find("wide char") != std::string::npos)
            line += " [the process needs a UTF-8 locale, e.g. LANG=C.UTF-8]";
        const std::string sqlState = Utf16ToUtf8(reinterpret_cast<const char16_t*>(state));
        if (!failure.text.empty()) failure.text += "; ";
        failure.text += line + " (SQLSTATE " + sqlState + ", native error " + std::to_string(native) + ")";
        failure.kind = std::max(failure.kind, Classify(sqlState, native, dialect));
    }
    if (failure.text.empty()) failure.text = "The ODBC call failed with return code " + std::to_string(rc) + ".";
    return failure;
}

}  // namespace pelmar::db::detail
