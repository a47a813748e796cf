#include "forms/mapping_grid.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <vector>

#include "common/ui.h"
#include "session/logger_factory.h"
#include "session/session_state.h"
#include "testing/session_fixture.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

constexpr const char* kMandatory =
    "The First Name, Mobile Number and Sex fields are mandatory and have to be mapped to some source fields.";
constexpr const char* kDuplicate = "A destination field can be mapped to a source field only once.";

class MappingGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.LogFilePath = log_;
        session.Logger = CreateEventLogger();
        session.ColumnMap.Reset();
        SetUserInterface(ui_);
    }
    void TearDown() override { SetUserInterface(nullptr); }

    // A preview list whose first row is `fields` and whose columns are `columns`.
    static RecordStore List(int32_t columns, const std::vector<std::string>& fields) {
        RecordStore list;
        list.SetColumnCount(columns);
        list.AddRow(1, fields.at(0));
        for (std::size_t i = 1; i < fields.size(); ++i) list.AddSubItem(fields[i]);
        list.AddRow(2, "second");
        return list;
    }
    // A grid of `rows` rows loaded from a reset ColumnMap, then mapped by the user.
    MappingGrid Grid(int32_t rows, const std::vector<std::pair<int32_t, std::string>>& destinations) {
        MappingGrid grid(session);
        grid.Load(List(rows, std::vector<std::string>(static_cast<std::size_t>(rows), "v")));
        for (const auto& [row, field] : destinations) grid.SetDestination(row, field);
        return grid;
    }
    std::string LastMessage() const { return ui_->messages.empty() ? "" : ui_->messages.back().prompt; }

    SessionState session;
    test::TempDir dir_;
    std::string log_ = dir_.file("import.log");
    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
};

TEST_F(MappingGridTest, LoadsSamplesAndTheStoredMapping) {
    session.ColumnMap[1] = {"2", "MobileNumber"};
    session.ColumnMap[2] = {"0", " FirstName"};
    MappingGrid grid(session);
    grid.Load(List(5, {" ", "Ann", "  ", " x "}));  // the fifth field is missing
    const std::vector<std::vector<std::string>> expected = {
        {"", "Text Field", "Address Book Field", ""}, {"1", " ", " FirstName", "1"}, {"2", "Ann", "", "-1"},
        {"3", "Column3", "MobileNumber", "6"},        {"4", " x ", "", "-1"},        {"5", "Column5", "", "-1"},
    };
    ASSERT_EQ(grid.Rows(), 5);
    for (int32_t r = 0; r <= 5; ++r) {
        for (int32_t c = 0; c < 4; ++c) EXPECT_EQ(grid.Cell(r, c), expected[r][c]) << r << "," << c;
    }
    EXPECT_EQ(MappingGrid::GridWidth(), 5200);
    EXPECT_TRUE(ui_->messages.empty());

    grid.Load(RecordStore());  // no first row: shown, logged, the grid stays empty
    EXPECT_EQ(grid.Rows(), 0);
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0].prompt, "An error has occurred while loading column mapping information.");
    EXPECT_EQ(ui_->messages[0].style, 48);
    const auto lines = test::ReadLines(log_);  // a time stamp, then the message
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
        {"ignored rows may repeat", {{1, "FirstName"}, {2, "MobileNumber"}, {3, "<ignore>"}, {4, "<ignore>"}}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui_->messages.clear();
        session.ColumnMap.Reset();
        MappingGrid grid = Grid(6, c.destinations);
        EXPECT_EQ(grid.Finish(), c.message.empty());
        EXPECT_EQ(LastMessage(), c.message);
        if (c.message.empty()) continue;
        EXPECT_EQ(ui_->messages.back().style, 64);
        EXPECT_EQ(session.ColumnMap[1].SourcePosition, "-1");
    }
}

TEST_F(MappingGridTest, OkPacksTheMappedRowsFromTheFirstEntryAndReopensWithThem) {
    ColumnMap& map = session.ColumnMap;
    for (int n = 1; n <= 21; ++n) map[n] = {"9", "Old"};
    const RecordStore list = List(7, {"a", "b", "c", "d", "e", "f", "g"});
    MappingGrid grid(session);
    grid.Load(list);
    for (int32_t r = 1; r <= 7; ++r) grid.SetDestination(r, "<ignore>");
    grid.SetDestination(2, "MobileNumber");
    grid.SetDestination(5, "FirstName");
    grid.SetDestination(6, "Country");
    ASSERT_TRUE(grid.Finish());
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"1", "MobileNumber"}, {"4", "FirstName"}, {"5", "Country"}};
    for (int n = 1; n <= 20; ++n) {
        const auto want = n <= 3 ? expected[static_cast<std::size_t>(n - 1)] : std::pair<std::string, std::string>{};
        EXPECT_EQ(map[n].SourcePosition, want.first) << n;
        EXPECT_EQ(map[n].FieldName, want.second) << n;
    }
    EXPECT_EQ(map[21].FieldName, "Old");

    MappingGrid reopened(session);
    reopened.Load(list);
    EXPECT_EQ(reopened.Cell(2, 2), "MobileNumber");
    EXPECT_EQ(reopened.Cell(6, 3), "13");
    EXPECT_EQ(reopened.Cell(1, 2), "");
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
        EXPECT_EQ(grid.EditorText(), shown);
        EXPECT_EQ(grid.EditorListIndex(), index);
    }
    grid.SetCurrentCell(1, 1);  // leaving the cell commits into row 1
    EXPECT_FALSE(grid.EditorVisible());
    EXPECT_EQ(grid.Cell(1, 2) + grid.Cell(1, 3), "Nick-1");
    grid.OpenEditor();  // column 1: no editor
    EXPECT_FALSE(grid.EditorVisible());

    grid.SetCurrentCell(2, 2);
    grid.OpenEditor();  // an empty cell keeps the previous text
    EXPECT_EQ(grid.EditorText(), "Nick");
    grid.SelectEditorItem(0);
    grid.EditorEnter();
    EXPECT_EQ(grid.Cell(2, 2) + grid.Cell(2, 3), "<ignore>-1");
    EXPECT_EQ(grid.CurrentRow(), 3);

    grid.OpenEditor();
    grid.SetEditorText("ho");
    grid.EditorEnter();  // the last row: commits and stays
    EXPECT_EQ(grid.Cell(3, 2) + grid.Cell(3, 3), "HomePhone15");
    EXPECT_EQ(grid.CurrentRow(), 3);
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
    }
    EXPECT_EQ(LastMessage(), kMandatory);
}

TEST_F(MappingGridTest, WithAHeaderRowsAreNamedAndStartMappedAsTheRunWouldMapThem) {
    const std::vector<std::string> header{"Given Name", "Notes", "Mobile Phone", "E-mail 1 - Value"};
    const RecordStore list = List(4, {"Priya", "", "9810012345", "priya@example.com"});
    MappingGrid grid(session);
    grid.Load(list);
    grid.UseHeader(header);
    EXPECT_EQ(grid.Heading(1) + "|" + grid.Heading(3), "Given Name|Mobile Phone");
    std::string rows;  // the sample stays as the grid fills it
    for (int32_t r = 1; r <= 4; ++r) rows += grid.Cell(r, 1) + ":" + grid.Cell(r, 2) + ":" + grid.Cell(r, 3) + " ";
    EXPECT_EQ(rows, "Priya:FirstName:1 Column2::-1 9810012345:MobileNumber:6 priya@example.com:Email:4 ");
    EXPECT_TRUE(grid.Finish());  // OK on the untouched grid
    EXPECT_TRUE(ui_->messages.empty());
    std::string stored;
    for (int n = 1; n <= 4; ++n)
        stored += session.ColumnMap[n].SourcePosition + ":" + session.ColumnMap[n].FieldName + " ";
    EXPECT_EQ(stored, "0:FirstName 2:MobileNumber 3:Email : ");

    // A confirmed mapping is what the grid opens with, not the header's.
    session.ColumnMap.Reset();
    session.ColumnMap[1] = {"2", "MobileNumber"};
    session.ColumnMap[2] = {"3", "FirstName"};
    MappingGrid again(session);
    again.Load(list);
    again.UseHeader(header);
    EXPECT_EQ(again.Cell(1, 2), "");
    EXPECT_EQ(again.Cell(4, 2), "FirstName");

    // Without a header the rows have no names.
    MappingGrid plain(session);
    plain.Load(list);
    EXPECT_EQ(plain.Heading(1), "");
}

}  // namespace
}  // namespace pelmar
