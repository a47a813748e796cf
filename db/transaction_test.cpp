#include <gtest/gtest.h>

#include "db/connection.h"
#include "db/db_error.h"
#include "db/transaction.h"
#include "testing/db_backends.h"

namespace pelmar::db {
namespace {

class TransactionTest : public test::BackendTest {
protected:
    void SetUp() override {
        test::BackendTest::SetUp();
        if (IsSkipped()) return;
        connection_.Open(ConnectionString());
        observer_.Open(ConnectionString());
    }
    // Folder ids are the primary key: adding one twice fails in the database.
    static void AddFolder(Connection& connection, int32_t id) {
        test::ExecAll(connection, {"INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (" +
                                   std::to_string(id) + ",'f',0,2)"});
    }
    // The folders another session sees.
    test::Rows Committed() { return test::SelectRows(observer_, "SELECT ID FROM SMS_ABFOLDERS ORDER BY ID"); }
    Connection connection_;
    Connection observer_;
};

// One transaction for a batch, a savepoint per record.
TEST_P(TransactionTest, BatchCommitsTheRecordsThatDidNotFail) {
    {
        Transaction batch(connection_);
        EXPECT_EQ(batch.Level(), 1);
        const std::vector<std::vector<int32_t>> records = {{1}, {2, 1}, {3}};  // the second repeats folder 1
        for (const auto& record : records) {
            try {
                Transaction savepoint(connection_);
                EXPECT_EQ(savepoint.Level(), 2);
                for (int32_t id : record) AddFolder(connection_, id);
                savepoint.Commit();
                EXPECT_FALSE(savepoint.Open());
            } catch (const DbError&) {
            }
        }
        EXPECT_EQ(Committed(), test::Rows{});
        batch.Commit();
    }
    EXPECT_EQ(Committed(), (test::Rows{{"1"}, {"3"}}));
    AddFolder(connection_, 4);  // outside a transaction: commits on its own
    EXPECT_EQ(Committed(), (test::Rows{{"1"}, {"3"}, {"4"}}));
}

TEST_P(TransactionTest, GuardRollsBackUnlessCommitted) {
    {
        Transaction left(connection_);
        AddFolder(connection_, 1);
    }
    EXPECT_THROW(
        {
            Transaction thrown(connection_);
            AddFolder(connection_, 2);
            AddFolder(connection_, 2);
        },
        DbError);
    {
        Transaction rolled(connection_);
        AddFolder(connection_, 3);
        rolled.Rollback();
        EXPECT_FALSE(rolled.Open());
    }
    EXPECT_EQ(Committed(), test::Rows{});
    EXPECT_THROW(connection_.CommitTrans(), DbError);  // no level left open
    {
        Transaction outer(connection_);
        AddFolder(connection_, 4);
        {
            Transaction inner(connection_);
            AddFolder(connection_, 5);
        }
        outer.Commit();
    }
    EXPECT_EQ(Committed(), test::Rows{{"4"}});
}

TEST_P(TransactionTest, RollbackAndMisuseAsAdoHasThem) {
    EXPECT_THROW(connection_.RollbackTrans(), DbError);
    connection_.BeginTrans();
    AddFolder(connection_, 1);
    EXPECT_EQ(connection_.BeginTrans(), 2);
    AddFolder(connection_, 2);
    connection_.RollbackTrans();
    EXPECT_THROW(connection_.Close(), DbError);  // with a transaction open
    EXPECT_EQ(connection_.State(), adStateOpen);
    connection_.CommitTrans();
    EXPECT_EQ(Committed(), test::Rows{{"1"}});
    {
        Connection dropped;
        dropped.Open(ConnectionString());
        dropped.BeginTrans();
        AddFolder(dropped, 5);
    }  // rolled back as it goes
    connection_.BeginTrans();
    AddFolder(connection_, 6);
    connection_.RollbackTrans();
    EXPECT_EQ(Committed(), test::Rows{{"1"}});
}

PELMAR_INSTANTIATE_BACKEND_TESTS(TransactionTest);

}  // namespace
}  // namespace pelmar::db
