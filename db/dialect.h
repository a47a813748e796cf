#pragma once
// Which SQL dialect stands behind an open connection.
#include <string_view>

namespace pelmar::db {

class Connection;

enum class Dialect { SQLite, PostgreSQL, MySQL, Other };

// The dialect of an open connection (MariaDB counts as MySQL); throws when
// the connection is closed.
Dialect DialectOf(const Connection& connection);

std::string_view DialectName(Dialect dialect);

}  // namespace pelmar::db
