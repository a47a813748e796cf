#include "core/import_statements.h"

namespace pelmar {

const char* const kGroupMapInsertSql = " INSERT INTO SMS_ABGROUPMAPS (GROUP_ID,CONTACT_ID) VALUES(?,?) ";
const char* const kLastContactIdSql = "SELECT MAX(ID) FROM SMS_ABCONTACTS";
const char* const kContactKeyColumn = "ID";

void StartCommand(db::Command& command, db::Connection& connection, std::string sql) {
    command.Type = db::adCmdText;
    command.SetActiveConnection(connection);
    command.CommandText = std::move(sql);
    command.Prepared = true;
}

void AppendInteger(db::Command& command, const char* name) {
    command.AppendParameter(command.CreateParameter(name, db::adInteger, db::adParamInput, 0));
}

void AppendColumn(db::Command& command, const ContactColumn& column, NameText nameText) {
    command.AppendParameter(command.CreateParameter(std::string(column.name), ParameterType(column, nameText),
                                                    db::adParamInput, column.size));
}

void PrepareContactInsert(db::Command& command, db::Connection& connection, NameText nameText) {
    StartCommand(command, connection, ContactInsertSql());
    for (const ContactColumn& column : kContactColumns) AppendColumn(command, column, nameText);
}

void PrepareGroupMapInsert(db::Command& command, db::Connection& connection) {
    StartCommand(command, connection, kGroupMapInsertSql);
    AppendInteger(command, "GROUP_ID");
    AppendInteger(command, "CONTACT_ID");
}

void PrepareLastContactIdQuery(db::Command& command, db::Connection& connection) {
    StartCommand(command, connection, kLastContactIdSql);
}

}  // namespace pelmar
