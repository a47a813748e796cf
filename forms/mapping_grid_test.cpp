#include "forms/mapping_grid.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "common/error.h"
#include "testing/form_fixture.h"
#include "testing/thrown.h"

namespace pelmar {
namespace {

using test::TakeShown;

constexpr const char* kMandatory =
    "The First Name, Mobile Number and Sex fields are mandatory and have to be mapped to some source fields.";
constexpr const char* kDuplicate = "A destination field can be mapped to a source field only once.";

// A preview list whose first row is `fields` and whose columns are `columns`.
RecordStore List(int32_t columns, const std::vector<std::string>& fields) {
    RecordStore list;
    list.SetColumnCount(columns);
    list.AddRow(1, fields.at(0));
    for (std::size_t i = 1; i < fields.size(); ++i) list.AddSubItem(fields[i]);
    list.AddRow(2, "second");
    return list;
}

// Columns `from` to 3 of every row, "a|b|c" each, the rows joined by blanks.
std::string Cells(const MappingGrid& grid, int32_t from = 1) {
    std::string cells;
    for (int32_t r = 0; r <= grid.Rows(); ++r)
        for (int32_t c = from; c < MappingGrid::kColumns; ++c) cells += grid.Cell(r, c) + (c < 3 ? "|" : " ");
    return cells;
}

// The ColumnMap's first `entries` entries, "position:field" each.
std::string Stored(const SessionState& session, int entries) {
    std::string stored;
    for (int n = 1; n <= entries; ++n)
        stored += session.ColumnMap[n].SourcePosition + ":" + session.ColumnMap[n].FieldName + " ";
    return stored;
}

class MappingGridTest : public test::FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        session.ColumnMap.Reset();
    }
    // A grid of `rows` rows loaded from a reset ColumnMap, then mapped by the user.
    MappingGrid Grid(int32_t rows, const std::vector<std::pair<int32_t, std::string>>& destinations) {
        MappingGrid grid(session);
        grid.Load(List(rows, std::vector<std::string>(static_cast<std::size_t>(rows), "v")));
        for (const auto& [row, field] : destinations) grid.SetDestination(row, field);
        return grid;
    }
};

TEST_F(MappingGridTest, LoadsSamplesAndTheStoredMapping) {
    // A row shows the first entry naming exactly its position, a name that is no field at -1.
    session.ColumnMap[1] = {"2", "MobileNumber"};
    session.ColumnMap[2] = {"0", " FirstName"};
    session.ColumnMap[3] = {"2", "City"};
    session.ColumnMap[4] = {"03", "City"};
    session.ColumnMap[21] = {"4", "email"};  // the last entry too
    MappingGrid grid(session);
    grid.Load(List(5, {" ", "Ann", "  ", " x "}));  // the fifth field is missing
    EXPECT_EQ(Cells(grid, 0),
              "|Text Field|Address Book Field| 1| | FirstName|1 2|Ann||-1 3|Column3|MobileNumber|6 4| x ||-1 "
              "5|Column5|email|-1 ");
    EXPECT_EQ(MappingGrid::GridWidth(), 5200);
    for (const auto& [row, col] : {std::pair{6, 0}, std::pair{1, MappingGrid::kColumns}, std::pair{-1, 0}})
        EXPECT_EQ(test::ErrorNumberOf([&] { grid.Cell(row, col); }), errnum::SubscriptOutOfRange) << row << "," << col;
    EXPECT_EQ(TakeShown(*ui), "");

    grid.Load(RecordStore());  // no first row: shown, logged, the grid stays empty
    EXPECT_EQ(grid.Rows(), 0);
    EXPECT_EQ(TakeShown(*ui), "48 An error has occurred while loading column mapping information.\n");
    const auto lines = test::ReadLines(logFile);  // a time stamp, then the message
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].find("Error occurred in loading column mapping information. Sub : Form_Load(frmColMapping)"),
              20u);
}

TEST_F(MappingGridTest, OkChecksInOrder) {
    const struct {
        const char* name;
        std::vector<std::pair<int32_t, std::string>> destinations;
        std::string message;
    } cases[] = {
        {"nothing mapped", {}, kMandatory},
        {"Sex is not counted", {{1, "FirstName"}, {2, "Sex"}}, kMandatory},
        {"FirstName twice", {{1, "FirstName"}, {2, "FirstName"}}, kDuplicate},
        {"another field twice", {{1, "FirstName"}, {2, "MobileNumber"}, {3, "City"}, {5, "City"}}, kDuplicate},
        {"unknown name",
         {{1, "FirstName"}, {2, "MobileNumber"}, {3, "<ignore>"}, {4, "Nickname"}, {5, "Xyz"}},
         "Invalid destination field name in row no 4"},
        {"unknown name in the last row",
         {{1, "FirstName"}, {2, "MobileNumber"}, {6, "Nick"}},
         "Invalid destination field name in row no 6"},
        {"ignored rows may repeat", {{1, "FirstName"}, {2, "MobileNumber"}, {3, "<ignore>"}, {4, "<ignore>"}}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        session.ColumnMap.Reset();
        EXPECT_EQ(Grid(6, c.destinations).Finish(), c.message.empty());
        EXPECT_EQ(TakeShown(*ui), c.message.empty() ? "" : "64 " + c.message + "\n");
        EXPECT_EQ(Stored(session, 2), c.message.empty() ? "0:FirstName 1:MobileNumber " : "-1: -1: ");
    }
}

TEST_F(MappingGridTest, OkCommitsAnOpenEditorOnlyWithAListItem) {
    for (const auto& [text, stored] : {std::pair{"mob", true}, std::pair{"zz", false}}) {
        session.ColumnMap.Reset();
        MappingGrid grid = Grid(3, {{1, "FirstName"}});
        grid.SetCurrentCell(2, 2);
        grid.OpenEditor();
        grid.SetEditorText(text);
        EXPECT_EQ(grid.Finish(), stored) << text;
        EXPECT_EQ(grid.Cell(2, 2), stored ? "MobileNumber" : "") << text;
        EXPECT_EQ(TakeShown(*ui), stored ? "" : "64 " + std::string(kMandatory) + "\n");
    }
}

TEST_F(MappingGridTest, OkPacksTheMappedRowsFromTheFirstEntryAndReopensWithThem) {
    for (int n = 1; n <= 21; ++n) session.ColumnMap[n] = {"9", "Old"};
    const RecordStore list = List(7, {"a", "b", "c", "d", "e", "f", "g"});
    MappingGrid grid(session);
    grid.Load(list);
    for (int32_t r = 1; r <= 7; ++r) grid.SetDestination(r, "<ignore>");
    grid.SetDestination(2, "MobileNumber");
    grid.SetDestination(5, "FirstName");
    grid.SetDestination(6, "Country");
    ASSERT_TRUE(grid.Finish());
    std::string rest;  // entries 4 to 20 emptied, the last one untouched
    for (int n = 4; n <= 20; ++n) rest += ": ";
    EXPECT_EQ(Stored(session, 21), "1:MobileNumber 4:FirstName 5:Country " + rest + "9:Old ");

    MappingGrid reopened(session);
    reopened.Load(list);
    EXPECT_EQ(Cells(reopened, 2), "Address Book Field| |-1 MobileNumber|6 |-1 |-1 FirstName|1 Country|13 |-1 ");
}

TEST_F(MappingGridTest, EditorSearchesByPrefixAndCommitsIntoItsRow) {
    MappingGrid grid = Grid(3, {});
    grid.SetCurrentCell(1, 2);
    grid.OpenEditor();
    ASSERT_TRUE(grid.EditorVisible());
    const std::tuple<const char*, const char*, int32_t> typed[] = {
        {"s", "Sex", 8}, {"COUNTRY", "CountryCode", 9}, {"", "", -1}, {"Nick", "Nick", -1}};
    for (const auto& [text, shown, index] : typed) {
        grid.SetEditorText(text);
        EXPECT_EQ(std::pair(grid.EditorText(), grid.EditorListIndex()), std::pair(std::string(shown), index)) << text;
    }
    grid.SetCurrentCell(1, 1);  // leaving the cell commits into row 1
    EXPECT_FALSE(grid.EditorVisible());
    grid.OpenEditor();  // column 1: no editor
    EXPECT_FALSE(grid.EditorVisible());

    grid.SetCurrentCell(2, 2);
    grid.OpenEditor();  // an empty cell keeps the previous text
    EXPECT_EQ(grid.EditorText(), "Nick");
    grid.SelectEditorItem(0);
    grid.EditorEnter();
    EXPECT_EQ(grid.CurrentRow(), 3);

    grid.OpenEditor();
    grid.SetEditorText("ho");
    grid.EditorEnter();  // the last row: commits and stays
    EXPECT_EQ(grid.CurrentRow(), 3);
    EXPECT_EQ(Cells(grid, 2), "Address Book Field| Nick|-1 <ignore>|-1 HomePhone|15 ");
}

TEST_F(MappingGridTest, WithAHeaderRowsAreNamedAndStartMappedAsTheRunWouldMapThem) {
    const std::vector<std::string> header{"Given Name", "Notes", "Mobile Phone", "E-mail 1 - Value"};
    const RecordStore list = List(4, {"Priya", "", "9810012345", "priya@example.com"});
    MappingGrid grid(session);
    grid.Load(list);
    grid.UseHeader(header);
    EXPECT_EQ(grid.Heading(1) + "|" + grid.Heading(3), "Given Name|Mobile Phone");
    // The sample stays as the grid fills it.
    EXPECT_EQ(Cells(grid),
              "Text Field|Address Book Field| Priya|FirstName|1 Column2||-1 9810012345|MobileNumber|6 "
              "priya@example.com|Email|4 ");
    EXPECT_TRUE(grid.Finish());  // OK on the untouched grid
    EXPECT_EQ(TakeShown(*ui), "");
    EXPECT_EQ(Stored(session, 4), "0:FirstName 2:MobileNumber 3:Email : ");

    // A confirmed mapping is what the grid opens with, not the header's.
    session.ColumnMap.Reset();
    session.ColumnMap[1] = {"2", "MobileNumber"};
    session.ColumnMap[2] = {"3", "FirstName"};
    MappingGrid again(session);
    again.Load(list);
    again.UseHeader(header);
    EXPECT_EQ(again.Cell(1, 2) + "|" + again.Cell(4, 2), "|FirstName");
}

}  // namespace
}  // namespace pelmar
