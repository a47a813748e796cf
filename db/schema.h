#pragma once
// The address book's tables: created from the schema script of the
// connection's dialect (embedded at build time), dropped for tests, and a
// small demo address book.
#include <string>

namespace pelmar::db {

class Connection;

// Creates the five SMS_ tables on an open connection; drops nothing, so an
// existing table is an error.
void CreateSchema(Connection& connection);
// Drops the five tables where they exist (for tests).
void DropSchema(Connection& connection);
// Fills empty tables with a demo address book: user 1 "admin" (administrator),
// user 2 "user" (general user), user 3 disabled, user 4 deleted; local folders
// and groups owned by user 2, shared ones with USER_ID 0, a group at the root
// and one inside a folder, a nested folder, contacts with non-ASCII names.
void SeedDemo(Connection& connection);

// Creates a new, empty SQLite database file in WAL mode; an existing file is
// an error. The only place a database file is ever created.
void CreateSqliteDatabase(const std::string& path);

}  // namespace pelmar::db
