#include "import/field_lookup.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "component/session_state.h"

namespace {

using pelmar::GetColumnValue;

struct RecordingLogger : pelmar::EventLogger {
    void WriteErrorLog(const std::string&, const pelmar::ErrorInfo& info, const std::string& message,
                       bool flagA, bool flagB) override {
        records.push_back(message);
        numbers.push_back(info.Number);
        EXPECT_TRUE(flagA);
        EXPECT_TRUE(flagB);
    }
    std::vector<std::string> records;
    std::vector<int32_t> numbers;
};

class GetColumnValueTest : public ::testing::Test {
protected:
    void SetUp() override {
        pelmar::Session().ColumnMap.Reset();
        pelmar::Session().Logger = logger_;
        list_.SetColumnCount(9);
        list_.AddRow(1, "f1");
        for (int i = 2; i <= 9; ++i) list_.AddSubItem("f" + std::to_string(i));
        list_.AddRow(2, "short");
        list_.AddSubItem("b");
        list_.AddRow(3, "  " + std::string(58, 'v'));  // 60 characters
        list_.AddSubItem("  " + std::string(48, 'w'));  // 50 characters
    }
    void TearDown() override {
        pelmar::Session().ColumnMap.Reset();
        pelmar::Session().Logger.reset();
    }
    void Map(int n, const std::string& position, const std::string& field) {
        pelmar::Session().ColumnMap[n] = {position, field};
    }

    pelmar::RecordStore list_;
    std::shared_ptr<RecordingLogger> logger_ = std::make_shared<RecordingLogger>();
};

TEST_F(GetColumnValueTest, ReadsTheFirstMatchingEntrysColumn) {
    Map(1, "2", " middlename ");
    Map(2, "0", "FirstName");
    Map(3, "5", "FirstName");
    Map(4, "1", "Email");
    Map(5, "", "");
    struct Case {
        int32_t row;
        const char* field;
        std::string value;
    };
    const std::vector<Case> cases = {
        {1, "MiddleName", "f3"},     // any case, blanks ignored
        {1, "  MIDDLENAME", "f3"},
        {1, "FirstName", "f1"},      // the first of two entries wins
        {1, "LastName", ""},         // no entry names it
        {1, "FirstNam", ""},
        {2, "Email", "b"},
        {2, "middlename", ""},       // beyond the row's sub-items
        {3, "FirstName", std::string(50, 'v')},                // trimmed, then cut
        {3, "Email", "  " + std::string(48, 'w')},             // 50 characters stay as listed
        {99, "LastName", ""},        // the row is never read
    };
    for (const auto& c : cases) EXPECT_EQ(GetColumnValue(list_, c.row, c.field), c.value) << c.field;
    EXPECT_TRUE(logger_->records.empty());
}

TEST_F(GetColumnValueTest, FailuresAreLoggedAndTheValueIsEmpty) {
    Map(1, "0", "FirstName");
    Map(2, "x", "Email");
    EXPECT_EQ(GetColumnValue(list_, 7, "FirstName"), "");
    EXPECT_EQ(GetColumnValue(list_, 1, "Email"), "");
    ASSERT_EQ(logger_->records.size(), 2u);
    EXPECT_EQ(logger_->records[0], "Error occured while retrieving data from grid. Sub: GetColumnValue");
    EXPECT_EQ(logger_->numbers[0], 9);
    EXPECT_EQ(logger_->numbers[1], 13);
}

TEST_F(GetColumnValueTest, DefaultMappingTakesTheFirstEightColumns) {
    pelmar::SetDefaultMapping();
    EXPECT_EQ(GetColumnValue(list_, 1, "sex"), "f8");
    EXPECT_EQ(GetColumnValue(list_, 1, "FirstName"), "f1");
    EXPECT_EQ(GetColumnValue(list_, 1, "Organisation"), "f7");
    EXPECT_EQ(GetColumnValue(list_, 1, "CountryCode"), "");
    EXPECT_EQ(pelmar::Session().ColumnMap[6].SourcePosition, "5");
    EXPECT_EQ(pelmar::Session().ColumnMap[6].FieldName, "MobileNumber");
    EXPECT_EQ(pelmar::Session().ColumnMap[9].SourcePosition, "-1");
}

}  // namespace
