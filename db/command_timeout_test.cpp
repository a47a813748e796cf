#include <gtest/gtest.h>

#include <chrono>

#include "db/command.h"
#include "db/connection.h"
#include "db/db_error.h"
#include "db/recordset.h"
#include "testing/db_backends.h"

namespace pelmar::db {
namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

class CommandTimeoutTest : public testing::BackendTest {
protected:
    // Runs far longer than the limits here.
    std::string SlowQuery() const {
        switch (GetParam().kind) {
            case testing::BackendKind::PostgreSQL: return "SELECT pg_sleep(60)";
            case testing::BackendKind::MariaDB: return "SELECT SLEEP(60)";
            case testing::BackendKind::SQLite: break;
        }
        return "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM c) SELECT count(*) FROM c";
    }
};

// The limit from the connection string or from the command; after the
// timeout the connection fails at once, and works again once reopened.
TEST_P(CommandTimeoutTest, SlowStatementTimesOutAndTheConnectionIsNotWaitedOnAgain) {
    struct Case {
        const char* name;
        const char* keys;
        int32_t commandTimeout;
    } cases[] = {{"connection string", "CommandTimeout=1;", -1}, {"command", "", 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Connection connection;
        connection.Open(ConnectionString() + c.keys);
        Command slow;
        slow.SetActiveConnection(connection);
        slow.CommandText = SlowQuery();
        slow.CommandTimeout = c.commandTimeout;
        std::string description;
        auto start = std::chrono::steady_clock::now();
        try {
            slow.Execute();
            ADD_FAILURE() << "no timeout";
        } catch (const DbError& e) {
            description = e.what();
            EXPECT_NE(description.find("timed out after 1 second"), std::string::npos) << description;
        }
        EXPECT_LT(SecondsSince(start), 1 + 2);
        start = std::chrono::steady_clock::now();
        try {
            Recordset next;
            next.Open("SELECT 1", connection);
            ADD_FAILURE() << "the timed-out connection ran a statement";
        } catch (const DbError& e) {
            EXPECT_EQ(e.what(), description);
        }
        EXPECT_LT(SecondsSince(start), 0.5);
        connection.Close();
        connection.Open();
        Recordset again;
        again.Open("SELECT 1", connection);
        EXPECT_EQ(again.Field(0).ToInt32(), 1);
    }
}

PELMAR_INSTANTIATE_BACKEND_TESTS(CommandTimeoutTest);

}  // namespace
}  // namespace pelmar::db
