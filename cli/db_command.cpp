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

constexpr const char* kDbFooter =
    "CONNECTION_STRING is \"Driver=SQLite3;Database=PATH\" for a SQLite file, or an ODBC\n"
    "connection string, e.g.\n"
    "  \"Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=5432;Database=sms;Uid=app;Pwd=...\"\n"
    "  \"Driver={MariaDB Unicode};Server=127.0.0.1;Port=3306;Database=sms;Uid=app;Pwd=...\"\n"
    "\n"
    "Exit status: 0 on success, 2 on bad arguments or failure.";

int Refuse(const std::string& command, const std::string& what) {
    std::fprintf(stderr, "pelmar %s: %s\nRun 'pelmar %s --help' for more information.\n", command.c_str(), what.c_str(),
                 command.c_str());
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
    PrintQuery(connection, "SMS_ABFOLDERS", "SELECT ID,NAME,PARENTFOLDERID,USER_ID FROM SMS_ABFOLDERS ORDER BY ID");
    PrintQuery(connection, "SMS_ABGROUPS", "SELECT ID,NAME,FOLDER_ID,USER_ID FROM SMS_ABGROUPS ORDER BY ID");
    PrintQuery(connection, "SMS_ABGROUPMAPS",
               "SELECT GROUP_ID,CONTACT_ID FROM SMS_ABGROUPMAPS ORDER BY GROUP_ID,CONTACT_ID");
    PrintQuery(connection, "SMS_ABCONTACTS",
               "SELECT ID,USER_ID,FOLDER_ID,FNAME,MNAME,LNAME,MOBILENO,EMAIL,SEX,BIRTHDAY "
               "FROM SMS_ABCONTACTS ORDER BY ID");
    return 0;
}

}  // namespace

Run AddDbCommand(CLI::App& pelmar) {
    struct Choice {
        std::string connectionString;
        bool seed = false;
    };
    auto choice = std::make_shared<Choice>();
    CLI::App& db = *pelmar.add_subcommand("db", "create the address book tables, or print them");
    db.footer(kDbFooter);
    db.allow_extras();  // an unknown subcommand is named below, not as a stray argument
    CLI::App& init = *db.add_subcommand("init",
                                        "create the address book tables (SMS_USERS, SMS_ABCONTACTS, SMS_ABGROUPMAPS,\n"
                                        "SMS_ABGROUPS, SMS_ABFOLDERS) with the script of the database's dialect.\n"
                                        "A SQLite file that does not exist yet is created first (in WAL mode).");
    CLI::App& show = *db.add_subcommand("show", "print the users, folders, groups, group members and contacts");
    for (CLI::App* sub : {&init, &show}) {
        sub->footer(kDbFooter);
        sub->add_option("CONNECTION_STRING", choice->connectionString, "the address book's database")->type_name("");
    }
    init.add_flag("--seed", choice->seed,
                  "add a demo address book: users 1 (administrator \"admin\"),\n"
                  "2 (general user \"user\"), 3 (disabled) and 4 (deleted), shared\n"
                  "and local folders and groups, and a few contacts");

    return [choice, &db, &init, &show]() -> int {
        if (!init.parsed() && !show.parsed()) {
            const std::vector<std::string> rest = db.remaining();
            return Refuse("db", rest.empty() ? "missing subcommand" : "unknown subcommand '" + rest[0] + "'");
        }
        const std::string name = init.parsed() ? "db init" : "db show";
        if (choice->connectionString.empty()) return Refuse(name, "missing CONNECTION_STRING");
        try {
            return init.parsed() ? Init(choice->connectionString, choice->seed) : Show(choice->connectionString);
        } catch (const std::exception& e) {
            std::fprintf(stderr, "pelmar %s: %s\n", name.c_str(), e.what());
            return 2;
        }
    };
}

}  // namespace pelmar::cli
