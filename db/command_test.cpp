#include "db/command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "db/connection.h"
#include "db/db_error.h"
#include "db/transaction.h"
#include "testing/db_backends.h"
#include "testing/thrown.h"

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

    // The table holds exactly these rows, in this order.
    void ExpectStored(const std::vector<std::vector<Value>>& rows);

    Connection connection_;
    Command insert_;
};

// Compared inside the database too, so a store and a read that are wrong by
// the same character cannot hide each other.
TEST_P(CommandTest, StoresIntegerNarrowWideAndNullValues) {
    const std::string text = "Zoë Łukasz 東京";
    insert_.Execute({int32_t{7}, text, text, "12"}, adExecuteNoRecords);  // BIRTHDAY: its parameter's own, none
    // Lent values bind alike, their text read where the caller keeps it.
    const std::string_view lent = text;
    insert_.ExecuteRow(std::vector<ValueView>{int32_t{7}, lent, lent, std::string_view("12")}, adExecuteNoRecords);
    auto row = Query("SELECT USER_ID,AGE,FNAME,LNAME,BIRTHDAY,MNAME FROM SMS_ABCONTACTS WHERE FNAME = '" + text +
                     "' AND LNAME = '" + text + "'");
    ASSERT_EQ(row.RecordCount(), 2);
    for (; !row.Eof(); row.MoveNext())
        EXPECT_EQ(
            std::vector<Value>({row.Field(0), row.Field(1), row.Field(2), row.Field(3), row.Field(4), row.Field(5)}),
            std::vector<Value>({int32_t{7}, int32_t{12}, text, text, Null{}, Null{}}));
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

// Rows whose values change type and go null and back from row to row: texts
// that a list of values must carry as they are (quotes, backslashes, braces,
// commas, blanks at the ends, the word NULL), numbers as text and text as
// numbers, converted as Execute converts them.
std::vector<std::vector<Value>> MixedRows(int32_t total) {
    std::string fiftyE, fiftyKanji;
    for (int i = 0; i < 50; ++i) fiftyE += "é", fiftyKanji += "東";
    const std::vector<Value> firsts = {fiftyE, "Zoë", Null{}, "", "a", R"(q"u\o{t,e}")"};
    const std::vector<Value> lasts = {"Łukasz", fiftyKanji, "", Null{}, "b", " NULL ", "NULL"};
    std::vector<std::vector<Value>> rows;
    for (int32_t i = 0; i < total; ++i) {
        std::vector<Value> row = {i, firsts[i % firsts.size()], lasts[i % lasts.size()], i, i};
        if (i % 3 == 0) row[3] = Null{};
        if (i % 2 == 0) row[0] = std::to_string(i);
        if (i % 4 != 1) row[4] = std::to_string(i);
        rows.push_back(std::move(row));
    }
    return rows;
}

void CommandTest::ExpectStored(const std::vector<std::vector<Value>>& rows) {
    // A Null stays Null and an empty text stays empty; numbers compare as numbers.
    test::Rows expected;
    for (const auto& row : rows) {
        expected.emplace_back();
        for (const Value& value : row) expected.back().push_back(NullToText(value, "<null>"));
    }
    EXPECT_EQ(Select("SELECT USER_ID,FNAME,LNAME,AGE,BIRTHDAY FROM SMS_ABCONTACTS ORDER BY ID", "<null>"), expected);
}

// A prepared query runs again after each insert and sees it.
TEST_P(CommandTest, ExecuteTakesEachRunsValues) {
    Command lastId;
    lastId.SetActiveConnection(connection_);
    lastId.CommandText = "SELECT MAX(ID) FROM SMS_ABCONTACTS";
    lastId.Prepared = true;
    std::vector<int32_t> ids;
    const auto rows = MixedRows(42);
    for (const auto& row : rows) {
        insert_.Execute(row, adExecuteNoRecords);
        ids.push_back(lastId.Execute().Field(0).ToInt32());
    }
    ExpectStored(rows);
    EXPECT_EQ(std::ranges::adjacent_find(ids, std::greater_equal{}), ids.end()) << "ids rise";
}

// More rows than one chunk of an array execution (1000 rows).
TEST_P(CommandTest, ExecuteRowsStoresEveryRowInOrder) {
    const auto values = MixedRows(1203);
    ParameterRows rows(5);
    for (const auto& row : values) rows.Add(row);
    insert_.ExecuteRows(rows);
    ExpectStored(values);
    // Execute still runs one row after arrays.
    insert_.Execute({1, "x", "y", 2, Null{}}, adExecuteNoRecords);
    EXPECT_EQ(Count(), static_cast<int32_t>(values.size()) + 1);
    // Rows narrower than the parameters leave the rest to the parameters' own values.
    Command narrow;
    narrow.SetActiveConnection(connection_);
    narrow.CommandText = "INSERT INTO SMS_ABCONTACTS(FNAME,BIRTHDAY) VALUES(?,?)";
    narrow.AppendParameter(narrow.CreateParameter("FNAME", adVarChar, adParamInput, 50));
    narrow.AppendParameter(narrow.CreateParameter("BIRTHDAY", adVarChar, adParamInput, 10, "2001-02-03"));
    ParameterRows names(1);
    names.Add(std::vector<Value>{"narrow"});
    narrow.ExecuteRows(names);
    EXPECT_EQ(Select("SELECT BIRTHDAY FROM SMS_ABCONTACTS WHERE FNAME = 'narrow'"), test::Rows{{"2001-02-03"}});
    ParameterRows wide(6);
    wide.Add(std::vector<Value>(6, Value(1)));
    EXPECT_NE(test::ErrorOf([&] { insert_.ExecuteRows(wide); }).find("More values (6) than parameters (5)."),
              std::string::npos);
}

// Several multi-row statements and a shorter last one on the servers.
TEST_P(CommandTest, ExecuteRowsForKeysGivesEachRowsOwnKeyInOrder) {
    insert_.Execute({0, "before", Null{}, Null{}, Null{}}, adExecuteNoRecords);
    for (const int32_t total : {1, 2, 250}) {
        SCOPED_TRACE(total);
        ParameterRows rows(5);
        for (int32_t i = 0; i < total; ++i)
            rows.Add(std::vector<Value>{i, "n" + std::to_string(total) + "-" + std::to_string(i), "ü", Null{}, Null{}});
        std::vector<int64_t> keys = {-1};
        insert_.ExecuteRowsForKeys(rows, "ID", keys);
        ASSERT_EQ(keys.size(), static_cast<std::size_t>(total));
        for (int32_t i = 0; i < total; ++i) {
            const std::string sql = "SELECT FNAME FROM SMS_ABCONTACTS WHERE ID = " + std::to_string(keys[i]);
            ASSERT_EQ(Query(sql).Field(0).ToText(), "n" + std::to_string(total) + "-" + std::to_string(i));
        }
    }
    EXPECT_EQ(Count(), 1 + 1 + 2 + 250);
}

TEST_P(CommandTest, ExecuteRowsForKeysThrowsForARefusedRowAndTheConnectionGoesOn) {
    Exec({"CREATE UNIQUE INDEX TEST_UNIQUE_FNAME ON SMS_ABCONTACTS (FNAME)"});
    insert_.Execute({0, "taken", Null{}, Null{}, Null{}}, adExecuteNoRecords);
    std::vector<int64_t> keys;
    Transaction batch(connection_);
    for (const std::size_t bad : {0, 1, 130}) {
        SCOPED_TRACE(bad);
        ParameterRows rows(5);
        for (std::size_t i = 0; i <= bad; ++i)
            rows.Add(std::vector<Value>{1, i == bad ? "taken" : "r" + std::to_string(bad) + "-" + std::to_string(i),
                                        Null{}, Null{}, Null{}});
        {
            Transaction chunk(connection_);
            EXPECT_THROW(insert_.ExecuteRowsForKeys(rows, "ID", keys), DbError);
        }
        ParameterRows good(5);
        good.Add(std::vector<Value>{2, "after" + std::to_string(bad), Null{}, Null{}, Null{}});
        insert_.ExecuteRowsForKeys(good, "ID", keys);
        ASSERT_EQ(keys.size(), 1U);
        EXPECT_EQ(Query("SELECT FNAME FROM SMS_ABCONTACTS WHERE ID = " + std::to_string(keys[0])).Field(0).ToText(),
                  "after" + std::to_string(bad));
    }
    batch.Commit();
    EXPECT_EQ(Count(), 4);
}

TEST_P(CommandTest, ExecuteRowsThrowsForARowThatBreaksARuleAndTheTransactionUndoesAll) {
    // A date too long for its column is stored by SQLite, refused by the servers.
    const bool server = GetParam().kind != test::BackendKind::SQLite;
    const struct {
        const char* name;
        std::string column;  // of the text parameter: FNAME sized 50, BIRTHDAY unsized
        std::string bad;     // its value in the failing row
        std::size_t row;     // of the failing row
        const char* naming;  // what the error names, or nullptr
    } cases[] = {{"over its size", "FNAME", std::string(51, 'a'), 1100, "FNAME"},
                 {"duplicate key", "FNAME", "dup", 1100, nullptr},
                 {"an id that is no number", "FNAME", "id?", 700, "'ID'"},
                 {"too long for the column", "BIRTHDAY", "2001-01-011", 5, nullptr}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const bool refused = server || c.column == "FNAME";
        Command command;
        command.SetActiveConnection(connection_);
        command.CommandText = "INSERT INTO SMS_ABCONTACTS(ID," + c.column + ")VALUES(?,?)";
        command.Prepared = true;
        command.AppendParameter(command.CreateParameter("ID", adInteger, adParamInput, 0));
        command.AppendParameter(
            command.CreateParameter("FNAME", adVarChar, adParamInput, c.column == "FNAME" ? 50 : 0));
        ParameterRows rows(2);
        for (int32_t i = 1; i <= 1500; ++i) {
            const bool bad = static_cast<std::size_t>(i) == c.row;
            const Value id = !bad ? Value(i) : c.bad == "dup" ? Value(1) : c.bad == "id?" ? Value("twelve") : Value(i);
            rows.Add(std::vector<Value>{id, bad ? c.bad : std::string("ok")});
        }
        Transaction transaction(connection_);
        if (!refused) {
            command.ExecuteRows(rows);
            continue;
        }
        try {
            command.ExecuteRows(rows);
            ADD_FAILURE() << "stored a row that breaks a rule";
        } catch (const DbError& e) {
            EXPECT_EQ(e.Sql(), command.CommandText);
            if (c.naming) {
                EXPECT_NE(std::string(e.what()).find(c.naming), std::string::npos) << e.what();
            }
        }
        transaction.Rollback();
        EXPECT_EQ(Count(), 0);
    }
}

PELMAR_INSTANTIATE_BACKEND_TESTS(CommandTest);

}  // namespace
}  // namespace pelmar::db
