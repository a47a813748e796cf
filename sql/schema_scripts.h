#pragma once
// The schema scripts of this folder, embedded into the core at build time.
namespace pelmar::sql {

extern const char* const kSqliteSchema;
extern const char* const kPostgresqlSchema;
extern const char* const kMysqlSchema;

}  // namespace pelmar::sql
