#include "core/import_statements.h"

#include <array>

#include "common/text.h"

namespace pelmar {

const char* const kContactInsertSql =
    "INSERT INTO SMS_ABCONTACTS(USER_ID,FNAME,MNAME,LNAME,MOBILENO, "
    "EMAIL,ADDRESS,ORGANISATION,FOLDER_ID,SEX,COUNTRYCODE,AGE,"
    "CITY,STATE,COUNTRY,ZIP,HOMEPHONE,OFFICEPHONE,FAX,BIRTHDAY,ANNIVERSARY,HOBBY)"
    "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
const char* const kGroupMapInsertSql = " INSERT INTO SMS_ABGROUPMAPS (GROUP_ID,CONTACT_ID) VALUES(?,?) ";
const char* const kLastContactIdSql = "SELECT MAX(ID) FROM SMS_ABCONTACTS";

namespace {

enum class Kind { Integer, Narrow, Name };

struct ParameterDef {
    const char* name;
    Kind kind;
    int32_t size;
};

// Kept on purpose: docs/behaviour.md#text-parameters-by-database-type
constexpr std::array<ParameterDef, 22> kContactParameters = {{
    {"USER_ID", Kind::Integer, 0}, {"FNAME", Kind::Name, 50},         {"MNAME", Kind::Name, 50},
    {"LNAME", Kind::Name, 50},     {"MOBILENO", Kind::Narrow, 50},    {"EMAIL", Kind::Narrow, 50},
    {"ADDRESS", Kind::Name, 50},   {"ORGANISATION", Kind::Name, 50},  {"FOLDER_ID", Kind::Integer, 0},
    {"SEX", Kind::Narrow, 1},      {"COUNTRYCODE", Kind::Narrow, 10}, {"AGE", Kind::Integer, 0},
    {"CITY", Kind::Narrow, 100},   {"STATE", Kind::Name, 100},        {"COUNTRY", Kind::Name, 100},
    {"ZIP", Kind::Narrow, 20},     {"HOMEPHONE", Kind::Narrow, 20},   {"OFFICEPHONE", Kind::Narrow, 20},
    {"FAX", Kind::Narrow, 20},     {"BIRTHDAY", Kind::Narrow, 10},    {"ANNIVERSARY", Kind::Narrow, 10},
    {"HOBBY", Kind::Narrow, 10},
}};

void StartCommand(db::Command& command, db::Connection& connection, const char* sql) {
    command.Type = db::adCmdText;
    command.SetActiveConnection(connection);
    command.CommandText = sql;
    command.Prepared = true;
}

void AppendInteger(db::Command& command, const char* name) {
    command.AppendParameter(command.CreateParameter(name, db::adInteger, db::adParamInput, 0));
}

}  // namespace

void PrepareContactInsert(db::Command& command, db::Connection& connection, const DatabaseTypeSource& databaseType) {
    StartCommand(command, connection, kContactInsertSql);
    for (const ParameterDef& def : kContactParameters) {
        db::DataType type = def.kind == Kind::Integer ? db::adInteger : db::adVarChar;
        if (def.kind == Kind::Name && UpperCase(databaseType()) != "MYSQL") type = db::adVarWChar;
        command.AppendParameter(command.CreateParameter(def.name, type, db::adParamInput, def.size));
    }
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
