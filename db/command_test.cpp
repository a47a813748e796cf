#include "db/command.h"

#include <gtest/gtest.h>

#include "db/connection.h"
#include "db/db_error.h"
#include "testing/db_backends.h"

namespace pelmar::db {
namespace {

constexpr const char* kInsert = "INSERT INTO SMS_ABCONTACTS(USER_ID,FNAME,LNAME,AGE,BIRTHDAY) VALUES(?,?,?,?,?)";

class CommandTest : public test::BackendTest {
protected:
    void SetUp() override {
        test::BackendTest::SetUp();
        if (IsSkipped()) return;
        connection_.Open(ConnectionString());
        insert_.SetActiveConnection(connection_);
        insert_.Type = adCmdText;
        insert_.CommandText = kInsert;
        insert_.Prepared = true;
        insert_.AppendParameter(insert_.CreateParameter("USER_ID", adInteger, adParamInput, 0));
        insert_.AppendParameter(insert_.CreateParameter("FNAME", adVarChar, adParamInput, 50));
        insert_.AppendParameter(insert_.CreateParameter("LNAME", adVarWChar, adParamInput, 50));
        insert_.AppendParameter(insert_.CreateParameter("AGE", adInteger, adParamInput, 0));
        insert_.AppendParameter(insert_.CreateParameter("BIRTHDAY", adVarChar, adParamInput, 10));
    }

    int32_t Count() { return Query("SELECT COUNT(*) FROM SMS_ABCONTACTS").Field(0).ToInt32(); }

    Recordset Query(const std::string& sql) {
        Recordset records;
        records.SetCursorLocation(adUseClient);
        records.Open(sql, connection_, adOpenStatic, adLockReadOnly);
        return records;
    }

    Connection connection_;
    Command insert_;
};

TEST_P(CommandTest, StoresIntegerNarrowWideAndNullValues) {
    const std::string text = "Zoë Łukasz 東京";
    insert_.Execute({int32_t{7}, text, text, "12", Null{}}, adExecuteNoRecords);
    auto row = Query("SELECT USER_ID,FNAME,LNAME,AGE,BIRTHDAY,MNAME FROM SMS_ABCONTACTS");
    ASSERT_EQ(row.RecordCount(), 1);
    EXPECT_EQ(row.Field("USER_ID"), Value(int32_t{7}));
    EXPECT_EQ(row.Field("FNAME").ToText(), text);
    EXPECT_EQ(row.Field("LNAME").ToText(), text);
    EXPECT_EQ(row.Field("AGE"), Value(int32_t{12}));
    EXPECT_TRUE(row.Field("BIRTHDAY").IsNull());
    EXPECT_TRUE(row.Field("MNAME").IsNull());
    // Compared inside the database too, so a store and a read that are wrong
    // by the same character cannot hide each other.
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SMS_ABCONTACTS WHERE FNAME = '" + text + "' AND LNAME = '" + text + "'")
                  .Field(0)
                  .ToInt32(),
              1);
}

TEST_P(CommandTest, RunsOnePreparedStatementManyTimesAndMaxIdFollows) {
    Command lastId;
    lastId.SetActiveConnection(connection_);
    lastId.CommandText = "SELECT MAX(ID) FROM SMS_ABCONTACTS";
    lastId.Prepared = true;
    int32_t previous = 0;
    for (int32_t i = 0; i < 25; ++i) {
        insert_.Execute({i, "first" + std::to_string(i), "", i, "2001-01-01"}, adExecuteNoRecords);
        Recordset max = lastId.Execute();
        const int32_t id = max.Field(0).ToInt32();
        EXPECT_GT(id, previous);
        previous = id;
        max.Close();
    }
    EXPECT_EQ(Count(), 25);
    auto last = Query("SELECT FNAME,AGE FROM SMS_ABCONTACTS WHERE ID=" + std::to_string(previous));
    EXPECT_EQ(last.Field("FNAME").ToText(), "first24");
    EXPECT_EQ(last.Field("AGE").ToInt32(), 24);
}

TEST_P(CommandTest, TextLongerThanItsSizeInCharactersIsRefusedNamingTheParameter) {
    std::string fiftyE;
    for (int i = 0; i < 50; ++i) fiftyE += "é";  // 100 bytes, 50 characters
    struct Case {
        std::string first, last;
        const char* refused;  // nullptr: stored
    };
    const std::vector<Case> all = {
        {fiftyE, fiftyE, nullptr},
        {fiftyE + "x", "", "FNAME"},
        {"", fiftyE + "é", "LNAME"},
        {std::string(51, 'a'), "", "FNAME"},
    };
    int32_t stored = 0;
    for (const auto& c : all) {
        try {
            insert_.Execute({0, c.first, c.last, 1, Null{}}, adExecuteNoRecords);
            EXPECT_EQ(c.refused, nullptr) << "stored a text too long for " << c.refused;
            ++stored;
        } catch (const DbError& e) {
            ASSERT_NE(c.refused, nullptr) << e.what();
            EXPECT_NE(std::string(e.what()).find(c.refused), std::string::npos) << e.what();
        }
    }
    EXPECT_EQ(Count(), stored);
    EXPECT_EQ(Query("SELECT FNAME FROM SMS_ABCONTACTS").Field(0).ToText(), fiftyE);
}

TEST_P(CommandTest, IntegerParameterTakesNumericTextOnly) {
    insert_.Execute({"3", "a", "b", 2.5, Null{}}, adExecuteNoRecords);
    auto row = Query("SELECT USER_ID,AGE FROM SMS_ABCONTACTS");
    EXPECT_EQ(row.Field(0).ToInt32(), 3);
    EXPECT_EQ(row.Field(1).ToInt32(), 2);
    try {
        insert_.Execute({0, "a", "b", "twelve", Null{}}, adExecuteNoRecords);
        FAIL() << "stored a non-numeric age";
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("AGE"), std::string::npos) << e.what();
    }
    EXPECT_THROW(insert_.Execute({int64_t{1} << 40, "a", "b", 1, Null{}}, adExecuteNoRecords), DbError);
    EXPECT_EQ(Count(), 1);
}

TEST_P(CommandTest, DatabaseErrorCarriesTheDriversTextAndTheSql) {
    Command bad;
    bad.SetActiveConnection(connection_);
    bad.CommandText = "INSERT INTO SMS_NOSUCHTABLE(ID) VALUES(?)";
    bad.AppendParameter(bad.CreateParameter("ID", adInteger, adParamInput, 0));
    try {
        bad.Execute({1}, adExecuteNoRecords);
        FAIL();
    } catch (const DbError& e) {
        EXPECT_EQ(e.Sql(), bad.CommandText);
        EXPECT_EQ(e.Number(), errnum::DatabaseError);
        EXPECT_NE(std::string(e.what()).find_first_of("Ss"), std::string::npos);
        EXPECT_EQ(std::string(e.what()).find('\n'), std::string::npos) << e.what();
        EXPECT_EQ(e.Source().rfind("PelmarImpExp.db", 0), 0u) << e.Source();
    }
}

TEST_P(CommandTest, PreparedCommandSurvivesItsConnectionReopening) {
    insert_.Execute({1, "a", "b", 1, Null{}}, adExecuteNoRecords);
    connection_.Close();
    EXPECT_THROW(insert_.Execute({2, "a", "b", 1, Null{}}, adExecuteNoRecords), DbError);
    connection_.Open();
    insert_.Execute({3, "a", "b", 1, Null{}}, adExecuteNoRecords);
    EXPECT_EQ(Count(), 2);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(CommandTest);

}  // namespace
}  // namespace pelmar::db
