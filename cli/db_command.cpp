// pelmar db: create an address book and look into one.
#include <cstdio>
#include <filesystem>
#include <string>

#include "cli/commands.h"
#include "db/connection.h"
#include "db/connection_string.h"
#include "db/recordset.h"
#include "db/schema.h"

namespace pelmar::cli {
namespace {

constexpr const char* kDbUsage =
    "usage: pelmar db init CONNECTION_STRING [--seed]\n"
    "       pelmar db show CONNECTION_STRING\n"
    "\n"
    "init  creates the address book tables (SMS_USERS, SMS_ABCONTACTS, SMS_ABGROUPMAPS,\n"
    "      SMS_ABGROUPS, SMS_ABFOLDERS) with the script of the database's dialect.\n"
    "      A SQLite file that does not exist yet is created first (in WAL mode).\n"
    "      --seed adds a demo address book: users 1 (administrator \"admin\"),\n"
    "      2 (general user \"user\"), 3 (disabled) and 4 (deleted), shared and local\n"
    "      folders and groups, and a few contacts.\n"
    "show  prints the users, folders, groups, group members and contacts.\n"
    "\n"
    "CONNECTION_STRING is \"Driver=SQLite3;Database=PATH\" for a SQLite file, or an ODBC\n"
    "connection string, e.g.\n"
    "  \"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=5432;Database=sms;Uid=app;Pwd=...\"\n"
    "  \"Driver={MariaDB Unicode};Server=127.0.0.1;Port=3306;Database=sms;Uid=app;Pwd=...\"\n"
    "\n"
    "Exit status: 0 on success, 2 on bad arguments or failure.\n";

int BadArguments(const std::string& what) {
    std::fprintf(stderr, "pelmar db: %s\n\n%s", what.c_str(), kDbUsage);
    return 2;
}

int Init(const std::string& connectionString, bool seed) {
    if (const auto path = db::SqliteDatabasePath(connectionString);
        path && !path->empty() && !std::filesystem::exists(*path)) {
        db::CreateSqliteDatabase(*path);
        std::printf("Created the SQLite database %s (WAL mode).\n", path->c_str());
    }
    db::Connection connection;
    connection.Open(connectionString);
    db::CreateSchema(connection);
    std::printf("Created the tables SMS_USERS, SMS_ABCONTACTS, SMS_ABGROUPMAPS, SMS_ABGROUPS, SMS_ABFOLDERS.\n");
    if (seed) {
        db::SeedDemo(connection);
        std::printf("Added the demo address book (users 1 to 4, folders, groups, contacts).\n");
    }
    connection.Close();
    return 0;
}

void PrintQuery(db::Connection& connection, const std::string& title, const std::string& sql) {
    db::Recordset records;
    records.SetCursorLocation(db::adUseClient);
    records.Open(sql, connection, db::adOpenStatic, db::adLockReadOnly);
    std::printf("%s (%d)\n", title.c_str(), records.RecordCount());
    std::string header = " ";
    for (int32_t i = 0; i < records.FieldCount(); ++i) header += (i ? " | " : " ") + records.FieldName(i);
    std::printf("%s\n", header.c_str());
    for (; !records.Eof(); records.MoveNext()) {
        std::string line = " ";
        for (int32_t i = 0; i < records.FieldCount(); ++i) {
            const db::Value& value = records.Field(i);
            line += (i ? " | " : " ") + (value.IsNull() ? std::string("NULL") : value.ToText());
        }
        std::printf("%s\n", line.c_str());
    }
    std::printf("\n");
}

int Show(const std::string& connectionString) {
    db::Connection connection;
    connection.Open(connectionString);
    PrintQuery(connection, "SMS_USERS", "SELECT ID,NAME,ADMIN,DISABLED,DELETED FROM SMS_USERS ORDER BY ID");
    PrintQuery(connection, "SMS_ABFOLDERS",
               "SELECT ID,NAME,PARENTFOLDERID,USER_ID FROM SMS_ABFOLDERS ORDER BY ID");
    PrintQuery(connection, "SMS_ABGROUPS", "SELECT ID,NAME,FOLDER_ID,USER_ID FROM SMS_ABGROUPS ORDER BY ID");
    PrintQuery(connection, "SMS_ABGROUPMAPS",
               "SELECT GROUP_ID,CONTACT_ID FROM SMS_ABGROUPMAPS ORDER BY GROUP_ID,CONTACT_ID");
    PrintQuery(connection, "SMS_ABCONTACTS",
               "SELECT ID,USER_ID,FOLDER_ID,FNAME,MNAME,LNAME,MOBILENO,EMAIL,SEX,BIRTHDAY "
               "FROM SMS_ABCONTACTS ORDER BY ID");
    return 0;
}

}  // namespace

int RunDbCommand(const Args& args) {
    if (args.empty()) return BadArguments("missing subcommand");
    const std::string& sub = args[0];
    if (sub == "--help" || sub == "-h") {
        std::fputs(kDbUsage, stdout);
        return 0;
    }
    if (sub != "init" && sub != "show") return BadArguments("unknown subcommand '" + sub + "'");
    std::string connectionString;
    bool seed = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--help" || args[i] == "-h") {
            std::fputs(kDbUsage, stdout);
            return 0;
        }
        if (sub == "init" && args[i] == "--seed") {
            seed = true;
        } else if (!args[i].empty() && args[i][0] == '-' && args[i].size() > 1 && args[i][1] == '-') {
            return BadArguments("unknown option '" + args[i] + "'");
        } else if (connectionString.empty()) {
            connectionString = args[i];
        } else {
            return BadArguments("more than one connection string");
        }
    }
    if (connectionString.empty()) return BadArguments("missing CONNECTION_STRING");
    try {
        return sub == "init" ? Init(connectionString, seed) : Show(connectionString);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pelmar db %s: %s\n", sub.c_str(), e.what());
        return 2;
    }
}

}  // namespace pelmar::cli
