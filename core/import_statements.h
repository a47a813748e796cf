#pragma once
// The import's three prepared statements: the contact insert, the group
// membership insert and the last-id query.
#include <functional>
#include <string>

#include "db/command.h"

namespace pelmar {

namespace db {
class Connection;
}

extern const char* const kContactInsertSql;
extern const char* const kGroupMapInsertSql;
extern const char* const kLastContactIdSql;

// The logging component's database type, asked for each name-like parameter:
// "MYSQL" in any case makes them narrow text, anything else wide.
using DatabaseTypeSource = std::function<std::string()>;

// Each builds its command step by step, so that a failure leaves it as far as
// it had got.
void PrepareContactInsert(db::Command& command, db::Connection& connection, const DatabaseTypeSource& databaseType);
void PrepareGroupMapInsert(db::Command& command, db::Connection& connection);
void PrepareLastContactIdQuery(db::Command& command, db::Connection& connection);

}  // namespace pelmar
