#include "db/connection_string.h"

#include <gtest/gtest.h>

namespace pelmar::db {
namespace {

TEST(ConnectionStringTest, SplitsPairsTrimsKeysAndUnbracesValues) {
    struct Case {
        const char* text;
        ConnectionStringPairs expected;
    } cases[] = {
        {"", {}},
        {"Driver=SQLite3;Database=/tmp/a.db", {{"Driver", "SQLite3"}, {"Database", "/tmp/a.db"}}},
        {" Driver = {PostgreSQL Unicode} ; Port=5432;", {{"Driver", "PostgreSQL Unicode"}, {"Port", "5432"}}},
        {"Pwd={a;b=c};Uid=app", {{"Pwd", "a;b=c"}, {"Uid", "app"}}},
        {"Pwd={x}}y};", {{"Pwd", "x}y"}}},
        {"junk;Key=;A=1", {{"Key", ""}, {"A", "1"}}},
        {"Database=/tmp/with space/a.db", {{"Database", "/tmp/with space/a.db"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseConnectionString(c.text), c.expected) << c.text;
}

TEST(ConnectionStringTest, FindsKeysInAnyCase) {
    const auto pairs = ParseConnectionString("DATABASE=x;timeout=10");
    EXPECT_EQ(FindConnectionValue(pairs, "Database"), "x");
    EXPECT_EQ(FindConnectionValue(pairs, "TimeOut"), "10");
    EXPECT_EQ(FindConnectionValue(pairs, "JournalMode"), std::nullopt);
}

TEST(ConnectionStringTest, RemovesOnlyTheNamedKeysLeavingTheRestAsWritten) {
    struct Case {
        const char* text;
        const char* kept;
    } cases[] = {
        {"Driver={PostgreSQL Unicode};CommandTimeout=5;Server=h;", "Driver={PostgreSQL Unicode};Server=h;"},
        {"commandtimeout = 5 ;DSN=x", "DSN=x"},
        {"DSN=x;ConnectTimeout=3", "DSN=x;"},
        {"Pwd={a;CommandTimeout=1};CONNECTTIMEOUT={2}; Uid = app ;", "Pwd={a;CommandTimeout=1}; Uid = app ;"},
        {"junk;DSN=x", "junk;DSN=x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RemoveConnectionKeys(c.text, {"CommandTimeout", "ConnectTimeout"}), c.kept) << c.text;
}

TEST(ConnectionStringTest, RecognisesOnlyTheSqlite3DriverAsNative) {
    struct Case {
        const char* text;
        std::optional<std::string> path;
    } cases[] = {
        {"Driver=SQLite3;Database=/tmp/a.db", "/tmp/a.db"},
        {"driver={sqlite3};database={/tmp/b;c.db};JournalMode=WAL", "/tmp/b;c.db"},
        {"Driver=SQLite3;", ""},
        {"Driver={SQLite3 ODBC};Database=/tmp/a.db", std::nullopt},
        {"Driver={PostgreSQL Unicode};Database=sms", std::nullopt},
        {"DSN=sms", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(SqliteDatabasePath(c.text), c.path) << c.text;
}

}  // namespace
}  // namespace pelmar::db
