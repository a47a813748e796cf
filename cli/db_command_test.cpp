// `pelmar db` run as a process: the address book a fresh installation starts with.
#include <gtest/gtest.h>

#include <string>

#include "db/connection.h"
#include "db/schema.h"
#include "testing/db_backends.h"
#include "testing/run_command.h"

namespace pelmar {
namespace {

class DbCommandTest : public test::BackendTest {
protected:
    // The rows of a query, one "a,b,c" text per row, joined by blanks.
    static std::string Rows(db::Connection& connection, const std::string& sql) {
        std::string rows;
        for (const auto& row : test::SelectRows(connection, sql))
            for (std::size_t i = 0; i < row.size(); ++i) rows += (i ? "," : rows.empty() ? "" : " ") + row[i];
        return rows;
    }
};

TEST_P(DbCommandTest, InitCreatesTheTablesOnceAndSeedsTheDemoBook) {
    const bool sqlite = GetParam().kind == test::BackendKind::SQLite;
    const std::string cs = sqlite ? "Driver=SQLite3;Database=" + Folder().file("new.db") : ConnectionString();
    if (!sqlite) db::DropSchema(Book());
    const std::string created =
        std::string(sqlite ? "Created the SQLite database " + Folder().file("new.db") + " (WAL mode).\n" : "") +
        "Created the tables SMS_USERS, SMS_ABCONTACTS, SMS_ABGROUPMAPS, SMS_ABGROUPS, SMS_ABFOLDERS.\n"
        "Added the demo address book (users 1 to 4, folders, groups, contacts).\n";
    test::ExpectRuns(Folder(), {PELMAR_BINARY, "db"},
                     {
                         {"init with the demo book", {"init", cs, "--seed"}, 0, created, ""},
                         {"init again", {"init", cs}, 2, "", "pelmar db init: "},
                         {"no connection string", {"show"}, 2, "", "missing CONNECTION_STRING"},
                         {"unknown subcommand", {"drop", cs}, 2, "", "unknown subcommand 'drop'"},
                     });

    db::Connection connection;
    connection.Open(cs);
    // An administrator, a general, a disabled and a deleted user.
    EXPECT_EQ(Rows(connection, "SELECT ID,ADMIN,DISABLED,DELETED FROM SMS_USERS ORDER BY ID"),
              "1,1,0,0 2,0,0,0 3,0,1,0 4,0,0,1");
    // Shared (USER_ID 0) and local folders and groups, and contacts of both.
    for (const char* table : {"SMS_ABFOLDERS", "SMS_ABGROUPS", "SMS_ABCONTACTS"})
        EXPECT_EQ(Rows(connection, std::string("SELECT DISTINCT USER_ID FROM ") + table + " ORDER BY USER_ID"), "0 2")
            << table;
    if (sqlite) {
        EXPECT_EQ(Rows(connection, "PRAGMA journal_mode"), "wal");
    }

    const test::CommandOutcome shown = test::RunCommand(Folder(), {PELMAR_BINARY, "db", "show", cs});
    EXPECT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("SMS_USERS (4)"), std::string::npos) << shown.out;
    EXPECT_NE(shown.out.find("Zoë"), std::string::npos) << shown.out;
}

PELMAR_INSTANTIATE_BACKEND_TESTS(DbCommandTest);

// Found by abi_dispatch_fuzz: an empty Driver made unixODBC's libltdl abort
// the whole process instead of failing the connection.
TEST(DbCommandProcessTest, AnEmptyDriverFailsTheConnectionNotTheProcess) {
    const test::TempDir folder;  // an ODBC configuration without drivers
    for (const char* cs : {"Driver=;Database=x", "Driver={ };Database=x"}) {
        SCOPED_TRACE(cs);
        const test::CommandOutcome outcome =
            test::RunCommand(folder, {"env", "ODBCSYSINI=" + folder.path().string(),
                                      "ODBCINI=" + folder.file("odbc.ini"), PELMAR_BINARY, "db", "show", cs});
        EXPECT_EQ(outcome.status, 2) << outcome.err;
    }
}

}  // namespace
}  // namespace pelmar
