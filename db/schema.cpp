#include "db/schema.h"

#include <array>

#include "db/command.h"
#include "db/connection.h"
#include "db/db_error_source.h"
#include "db/dialect.h"
#include "sql/schema_scripts.h"

namespace pelmar::db {
namespace {

constexpr std::array kTables = {"SMS_ABGROUPMAPS", "SMS_ABCONTACTS", "SMS_ABGROUPS", "SMS_ABFOLDERS", "SMS_USERS"};

// The statements of a script: "--" comments dropped, split at ";" outside
// quotes.
std::vector<std::string> Statements(std::string_view script) {
    std::vector<std::string> statements;
    std::string current;
    char quote = 0;
    for (std::size_t i = 0; i < script.size(); ++i) {
        const char c = script[i];
        if (quote) {
            if (c == quote) quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '-' && i + 1 < script.size() && script[i + 1] == '-') {
            while (i < script.size() && script[i] != '\n') ++i;
            current += '\n';
            continue;
        } else if (c == ';') {
            if (current.find_first_not_of(" \t\r\n") != std::string::npos) statements.push_back(current);
            current.clear();
            continue;
        }
        current += c;
    }
    if (current.find_first_not_of(" \t\r\n") != std::string::npos) statements.push_back(current);
    return statements;
}

void Run(Connection& connection, const std::string& sql) {
    Command command;
    command.SetActiveConnection(connection);
    command.CommandText = sql;
    command.Execute({}, adExecuteNoRecords);
}

const char* SchemaScript(Dialect dialect) {
    switch (dialect) {
        case Dialect::SQLite: return sql::kSqliteSchema;
        case Dialect::PostgreSQL: return sql::kPostgresqlSchema;
        case Dialect::MySQL: return sql::kMysqlSchema;
        case Dialect::Other: break;
    }
    detail::ThrowAdo(errnum::DatabaseError,
                     "There is no schema script for this database; SQLite, PostgreSQL and MariaDB are known.");
}

struct DemoContact {
    int32_t userId;
    const char* first;
    const char* middle;
    const char* last;
    const char* mobile;
    const char* email;
    int32_t folderId;
    const char* sex;
    int32_t groupId;  // 0: in no group
};

}  // namespace

void CreateSchema(Connection& connection) {
    for (const auto& statement : Statements(SchemaScript(DialectOf(connection)))) Run(connection, statement);
}

void DropSchema(Connection& connection) {
    for (const char* table : kTables) Run(connection, std::string("DROP TABLE IF EXISTS ") + table);
}

void SeedDemo(Connection& connection) {
    const char* rows[] = {
        "INSERT INTO SMS_USERS (ID,NAME,ADMIN,DISABLED,DELETED) VALUES (1,'admin',1,0,0)",
        "INSERT INTO SMS_USERS (ID,NAME,ADMIN,DISABLED,DELETED) VALUES (2,'user',0,0,0)",
        "INSERT INTO SMS_USERS (ID,NAME,ADMIN,DISABLED,DELETED) VALUES (3,'disabled',0,1,0)",
        "INSERT INTO SMS_USERS (ID,NAME,ADMIN,DISABLED,DELETED) VALUES (4,'deleted',0,0,1)",
        // Shared folders (USER_ID 0), one inside another.
        "INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (1,'Customers',0,0)",
        "INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (2,'Suppliers',0,0)",
        "INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (3,'Europe',1,0)",
        // Local folders of user 2.
        "INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (10,'Friends',0,2)",
        "INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (11,'Family',0,2)",
        "INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (12,'Cousins',11,2)",
        // Groups: at the root (FOLDER_ID 0) and inside a folder, shared and local.
        "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (1,'Newsletter',0,0)",
        "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (2,'Key Accounts',1,0)",
        "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (10,'Football',0,2)",
        "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (11,'Close Family',11,2)",
    };
    for (const char* row : rows) Run(connection, row);

    const DemoContact contacts[] = {
        {0, "Zoë", "", "Łukasz", "+48601234567", "zoe@example.com", 1, "F", 2},
        {0, "José", "María", "Núñez", "+34600111222", "jose@example.es", 3, "M", 0},
        {0, "Anna", "", "Berg", "+46701234567", "", 2, "F", 1},
        {2, "Søren", "", "Kierkegaard", "+4512345678", "soren@example.dk", 10, "M", 10},
        {2, "太郎", "", "東京", "+81312345678", "", 11, "M", 11},
        {2, "Ivan", "", "Petrov", "+79161234567", "ivan@example.ru", 0, "M", 0},
    };
    Command insert;
    insert.SetActiveConnection(connection);
    insert.CommandText =
        "INSERT INTO SMS_ABCONTACTS (USER_ID,FNAME,MNAME,LNAME,MOBILENO,EMAIL,FOLDER_ID,SEX) "
        "VALUES (?,?,?,?,?,?,?,?)";
    insert.Prepared = true;
    insert.AppendParameter(insert.CreateParameter("USER_ID", adInteger, adParamInput, 0));
    insert.AppendParameter(insert.CreateParameter("FNAME", adVarWChar, adParamInput, 50));
    insert.AppendParameter(insert.CreateParameter("MNAME", adVarWChar, adParamInput, 50));
    insert.AppendParameter(insert.CreateParameter("LNAME", adVarWChar, adParamInput, 50));
    insert.AppendParameter(insert.CreateParameter("MOBILENO", adVarChar, adParamInput, 50));
    insert.AppendParameter(insert.CreateParameter("EMAIL", adVarChar, adParamInput, 50));
    insert.AppendParameter(insert.CreateParameter("FOLDER_ID", adInteger, adParamInput, 0));
    insert.AppendParameter(insert.CreateParameter("SEX", adVarChar, adParamInput, 1));
    Command lastId;
    lastId.SetActiveConnection(connection);
    lastId.CommandText = "SELECT MAX(ID) FROM SMS_ABCONTACTS";
    Command membership;
    membership.SetActiveConnection(connection);
    membership.CommandText = "INSERT INTO SMS_ABGROUPMAPS (GROUP_ID,CONTACT_ID) VALUES (?,?)";
    membership.Prepared = true;
    membership.AppendParameter(membership.CreateParameter("GROUP_ID", adInteger, adParamInput, 0));
    membership.AppendParameter(membership.CreateParameter("CONTACT_ID", adInteger, adParamInput, 0));

    for (const auto& c : contacts) {
        insert.Execute({c.userId, c.first, c.middle, c.last, c.mobile, c.email, c.folderId, c.sex}, adExecuteNoRecords);
        if (c.groupId == 0) continue;
        const int32_t contactId = lastId.Execute().Field(0).ToInt32();
        membership.Execute({c.groupId, contactId}, adExecuteNoRecords);
    }
}

}  // namespace pelmar::db
