#pragma once
// Statements and queries of a test, on a connection it opened itself.
#include <string>
#include <vector>

#include "db/connection.h"

namespace pelmar::test {

using Rows = std::vector<std::vector<std::string>>;

// Runs each statement in turn.
void ExecAll(db::Connection& connection, const std::vector<std::string>& statements);
// The rows of a query as text, NULL read as `null`.
Rows SelectRows(db::Connection& connection, const std::string& sql, const std::string& null = "");

}  // namespace pelmar::test
