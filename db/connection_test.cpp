#include "db/connection.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "db/db_error.h"
#include "db/dialect.h"
#include "db/recordset.h"
#include "db/schema.h"
#include "testing/db_backends.h"
#include "testing/temp_dir.h"
#include "testing/thrown.h"

namespace pelmar::db {
namespace {

class ConnectionTest : public test::BackendTest {};

TEST_P(ConnectionTest, OpeningAnOpenConnectionFailsAndAnEmptyStringReusesTheLastOne) {
    Connection connection;
    connection.Open(ConnectionString());
    EXPECT_THROW(connection.Open(ConnectionString()), DbError);
    EXPECT_EQ(connection.State(), adStateOpen);
    connection.Close();
    EXPECT_EQ(connection.State(), adStateClosed);
    connection.Close();  // closing a closed connection does nothing
    connection.Open("", "", "", -1);
    EXPECT_EQ(connection.State(), adStateOpen);
    EXPECT_EQ(connection.ConnectionString(), ConnectionString());
}

TEST_P(ConnectionTest, TellsTheDialect) {
    Connection connection;
    connection.Open(ConnectionString());
    const Dialect expected[] = {Dialect::SQLite, Dialect::PostgreSQL, Dialect::MySQL};
    EXPECT_EQ(DialectOf(connection), expected[static_cast<int>(GetParam().kind)]);
    connection.Close();
    EXPECT_THROW(DialectOf(connection), DbError);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ConnectionTest);

// A missing file is not created; a file that is not a database is refused.
TEST(SqliteConnectionTest, FileThatIsMissingOrNotADatabaseIsAnError) {
    test::TempDir folder;
    test::WriteFile(folder.file("text.db"), std::string(4096, 'x'));
    for (const std::string& path : {folder.file("missing.db"), folder.file("text.db")}) {
        Connection connection;
        const std::string error = test::ErrorOf([&] { connection.Open("Driver=SQLite3;Database=" + path); });
        EXPECT_TRUE(error.starts_with(std::to_string(errnum::DatabaseError) + ": ") && error.find(path) != error.npos)
            << error;
        EXPECT_EQ(connection.State(), adStateClosed);
        EXPECT_THROW(connection.Open(""), DbError);  // a failed open is not remembered
    }
    EXPECT_FALSE(std::filesystem::exists(folder.file("missing.db")));
}

TEST(SqliteConnectionTest, CreatesOnlyNewFilesInWalModeAndTakesPragmasFromTheString) {
    test::TempDir folder;
    const std::string path = folder.file("new.db");
    CreateSqliteDatabase(path);
    EXPECT_THROW(CreateSqliteDatabase(path), DbError);
    const auto pragma = [](const std::string& connectionString, const std::string& name) {
        Connection connection;
        connection.Open(connectionString);
        Recordset value;
        value.Open("PRAGMA " + name, connection);
        return value.Field(0).ToText();
    };
    const std::string cs = "driver={sqlite3};database=" + path;
    EXPECT_EQ(pragma(cs + ";Timeout=100", "journal_mode"), "wal");  // the file's own mode is left alone
    EXPECT_EQ(pragma(cs + ";JournalMode=DELETE;SyncPragma=OFF", "synchronous"), "0");
    EXPECT_EQ(pragma(cs, "journal_mode"), "delete");
    EXPECT_THROW(pragma(cs + ";SyncPragma={OFF; DROP TABLE SMS_USERS}", "synchronous"), DbError);
}

TEST(OdbcConnectionTest, UnreachableServerOrUnknownDriverReportsTheDriversTextWithoutThePassword) {
    Connection connection;
    try {
        connection.Open("Driver={PostgreSQL Unicode};Server=127.0.0.1;Port=1;Database=sms;Uid=app;Pwd=s3cretpw;");
        FAIL() << "connected to a closed port";
    } catch (const DbError& e) {
        const std::string text = e.what();
        EXPECT_TRUE(text.find("SQLSTATE") != text.npos && text.find("refused") != text.npos) << text;
        EXPECT_TRUE(text.find("s3cretpw") == text.npos && text.find('\n') == text.npos) << text;
        EXPECT_EQ(e.Source(), "PelmarImpExp.db.odbc");
    }
    EXPECT_EQ(connection.State(), adStateClosed);
    EXPECT_NE(test::ErrorOf([&] {
                  connection.Open("Driver={No Such Driver};Server=127.0.0.1");
              }).find("[unixODBC][Driver Manager]"),
              std::string::npos);
}

}  // namespace
}  // namespace pelmar::db
