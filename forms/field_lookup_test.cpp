#include "forms/field_lookup.h"

#include <gtest/gtest.h>

#include "core/column_mapping.h"
#include "session/logger_factory.h"
#include "session/session_state.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

TEST(GetColumnValue, ReadsTheFirstMatchingEntrysColumnOrLogsTheFailureAndTheDefaultMappingsColumns) {
    test::TempDir dir;
    SessionState session;
    session.LogFilePath = dir.file("import.log");
    session.Logger = CreateEventLogger();
    RecordStore list;
    list.AddRow(1, "f1");
    for (int i = 2; i <= 9; ++i) list.AddSubItem("f" + std::to_string(i));
    list.AddRow(2, "short");
    list.AddSubItem("b");
    list.AddRow(3, "  " + std::string(58, 'v'));   // 60 characters
    list.AddSubItem("  " + std::string(48, 'w'));  // 50 characters

    ColumnMap& map = session.ColumnMap;
    map.Reset();
    map[1] = {"2", " middlename "};
    map[2] = {"0", "FirstName"};
    map[3] = {"5", "FirstName"};
    map[4] = {"1", "Email"};
    map[5] = {"x", "Fax"};
    const struct {
        int32_t row;
        const char* field;
        std::string value;
    } cases[] = {
        {1, "MiddleName", "f3"},
        {1, "  MIDDLENAME", "f3"},  // any case, blanks ignored
        {1, "FirstName", "f1"},     // the first of two entries wins
        {1, "LastName", ""},
        {1, "FirstNam", ""},  // no entry names it
        {2, "Email", "b"},
        {2, "middlename", ""},                      // beyond the row's sub-items
        {3, "FirstName", std::string(50, 'v')},     // trimmed, then cut
        {3, "Email", "  " + std::string(48, 'w')},  // 50 characters stay as listed
        {99, "LastName", ""},                       // the row is never read
        {99, "FirstName", ""},
        {1, "Fax", ""},  // failures
    };
    for (const auto& c : cases) EXPECT_EQ(GetColumnValue(session, list, c.row, c.field), c.value) << c.field;

    const auto lines = test::ReadLines(session.LogFilePath);
    ASSERT_EQ(lines.size(), 2u);
    for (const auto& line : lines) {  // a time stamp, then the message
        EXPECT_EQ(line.find("Error occured while retrieving data from grid. Sub: GetColumnValue [Error "), 20u) << line;
    }

    SetDefaultMapping(map);  // the first eight columns
    std::string values;
    for (const char* field : {"sex", "FirstName", "Organisation", "CountryCode", "MobileNumber"})
        values += GetColumnValue(session, list, 1, field) + " ";
    EXPECT_EQ(values, "f8 f1 f7  f6 ");
}

}  // namespace
}  // namespace pelmar
