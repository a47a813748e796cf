#include "db/recordset.h"

#include <gtest/gtest.h>

#include "db/connection.h"
#include "db/db_error.h"
#include "testing/db_backends.h"

namespace pelmar::db {
namespace {

class RecordsetTest : public test::BackendTest {
protected:
    void SetUp() override {
        test::BackendTest::SetUp();
        if (IsSkipped()) return;
        connection_.Open(ConnectionString());
    }
    void AddFolders() const {
        Exec(
            {"INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES "
             "(1,'One',0,2),(2,'Two',1,2),(3,NULL,1,2)"});
    }
    static constexpr const char* kQuery = "SELECT ID,NAME,PARENTFOLDERID FROM SMS_ABFOLDERS ORDER BY ID";
    Connection connection_;
};

TEST_P(RecordsetTest, EmptyResultIsAtBothEndsWithEveryCursor) {
    for (const auto location : {adUseClient, adUseServer}) {
        Recordset records;
        records.SetCursorLocation(location);
        records.Open(kQuery, connection_, location == adUseClient ? adOpenDynamic : adOpenForwardOnly,
                     location == adUseClient ? adLockOptimistic : adLockReadOnly);
        EXPECT_TRUE(records.Eof());
        EXPECT_TRUE(records.Bof());
        EXPECT_EQ(records.RecordCount(), location == adUseClient ? 0 : -1);
        EXPECT_THROW(records.Field("ID"), DbError);
        EXPECT_THROW(records.MoveNext(), DbError);
        EXPECT_THROW(records.MoveFirst(), DbError);
    }
}

TEST_P(RecordsetTest, ClientCursorCountsRowsAndMovesBackToTheFirst) {
    AddFolders();
    Recordset records;
    records.SetCursorLocation(adUseClient);
    records.Open(kQuery, connection_, adOpenDynamic, adLockOptimistic, -1);
    EXPECT_EQ(records.RecordCount(), 3);
    EXPECT_FALSE(records.Bof());
    std::vector<std::string> names;
    for (; !records.Eof(); records.MoveNext()) names.push_back(records.Field("name").ToText());
    EXPECT_EQ(names, (std::vector<std::string>{"One", "Two", ""}));
    EXPECT_THROW(records.MoveNext(), DbError);
    records.MoveFirst();
    EXPECT_FALSE(records.Eof());
    EXPECT_EQ(records.Field("Id").ToInt32(), 1);
}

TEST_P(RecordsetTest, ForwardOnlyCursorStreamsWithUnknownCount) {
    AddFolders();
    Recordset records;
    records.Open(kQuery, connection_, adOpenForwardOnly, adLockReadOnly, -1);
    EXPECT_EQ(records.RecordCount(), -1);
    records.MoveFirst();  // still on the first row: allowed
    std::vector<int32_t> ids;
    for (; !records.Eof(); records.MoveNext()) ids.push_back(records.Field(0).ToInt32());
    EXPECT_EQ(ids, (std::vector<int32_t>{1, 2, 3}));
    EXPECT_FALSE(records.Bof());
    EXPECT_THROW(records.MoveFirst(), DbError);
}

TEST_P(RecordsetTest, FieldsByPositionOrByNameInAnyCaseAndOpeningTwiceOrClosedFails) {
    AddFolders();
    Recordset records;
    records.Open(kQuery + std::string(" DESC"), connection_);
    ASSERT_EQ(records.FieldCount(), 3);
    for (const char* name : {"PARENTFOLDERID", "parentfolderid", "ParentFolderId"})
        EXPECT_EQ(records.Field(name), records.Field(2)) << name;
    EXPECT_EQ(records.Field(0), Value(int32_t{3}));
    EXPECT_TRUE(records.Field("NAME").IsNull());
    EXPECT_THROW(records.Field("NOSUCH"), DbError);
    EXPECT_THROW(records.Field(3), DbError);
    EXPECT_THROW(records.Field(-1), DbError);
    EXPECT_THROW(records.Open(kQuery, connection_), DbError);  // already open
    records.Close();
    EXPECT_EQ(records.State(), adStateClosed);
    EXPECT_THROW(records.Eof(), DbError);
    Connection closed;
    EXPECT_THROW(records.Open(kQuery, closed), DbError);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(RecordsetTest);

}  // namespace
}  // namespace pelmar::db
