#pragma once
// The import's three prepared statements (the contact insert, the group
// membership insert and the last-id query), and the steps every prepared
// command of the core is built with.
#include <string>

#include "core/contact_schema.h"
#include "db/command.h"

namespace pelmar {

namespace db {
class Connection;
}

extern const char* const kGroupMapInsertSql;
extern const char* const kLastContactIdSql;
// The contact table's generated key, which a group's memberships name.
extern const char* const kContactKeyColumn;

// A prepared text command on `connection`, without parameters yet.
void StartCommand(db::Command& command, db::Connection& connection, std::string sql);
// An integer input parameter.
void AppendInteger(db::Command& command, const char* name);
// The input parameter of a contact column: its name, type and size.
void AppendColumn(db::Command& command, const ContactColumn& column, NameText nameText);

// Each builds its command step by step, so that a failure leaves it as far as
// it had got.
void PrepareContactInsert(db::Command& command, db::Connection& connection, NameText nameText);
void PrepareGroupMapInsert(db::Command& command, db::Connection& connection);
void PrepareLastContactIdQuery(db::Command& command, db::Connection& connection);

}  // namespace pelmar
