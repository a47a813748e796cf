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
}  // namespace adoerr

[[noreturn]] inline void ThrowAdo(int32_t number, const std::string& description, const std::string& sql = {}) {
    throw DbError(number, description, kSourceAdo, sql);
}

// Folds line breaks (and the blanks around them) into one blank and drops
// trailing blanks, so that a driver's message fits one log line.
std::string FoldLines(const std::string& text);

}  // namespace pelmar::db::detail
