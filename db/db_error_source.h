#pragma once
// The source names the database layer's errors carry, and the ADO-numbered
// errors of its objects' misuse.
#include <string>

#include "db/db_error.h"

namespace pelmar::db::detail {

inline constexpr const char* kSourceAdo = "PelmarImpExp.db";
inline constexpr const char* kSourceSqlite = "PelmarImpExp.db.sqlite";
inline constexpr const char* kSourceOdbc = "PelmarImpExp.db.odbc";

namespace adoerr {
inline constexpr int32_t BadArguments = 3001;
inline constexpr int32_t NoCurrentRecord = 3021;
inline constexpr int32_t ItemNotFound = 3265;
inline constexpr int32_t ObjectClosed = 3704;
inline constexpr int32_t ObjectOpen = 3705;
inline constexpr int32_t ConnectionUnusable = 3709;
inline constexpr int32_t InTransaction = 3246;
inline constexpr int32_t NotSupported = 3251;
inline constexpr int32_t NoTransaction = -2147168242;  // 0x8004D00E
inline constexpr int32_t Timeout = -2147217871;        // 0x80040E31, the provider's time limit
}  // namespace adoerr

[[noreturn]] inline void ThrowAdo(int32_t number, const std::string& description, const std::string& sql = {}) {
    throw DbError(number, description, kSourceAdo, sql);
}

// A call that ran out of time: "The command timed out after 5 seconds: "
// and what the database or the driver said.
inline DbError TimedOut(const std::string& what, int32_t seconds, const std::string& detail, const std::string& source,
                        const std::string& sql) {
    return DbError(adoerr::Timeout,
                   "The " + what + " timed out after " + std::to_string(seconds) +
                       (seconds == 1 ? " second: " : " seconds: ") + detail,
                   source, sql);
}

// A driver's message on one log line: every line break a blank, trailing
// blanks dropped.
std::string FoldLines(const std::string& text);

}  // namespace pelmar::db::detail
