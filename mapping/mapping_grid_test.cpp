#include "mapping/mapping_grid.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "common/ui.h"
#include "component/session_state.h"

namespace {

using pelmar::MappingGrid;

struct RecordingLogger : pelmar::EventLogger {
    void WriteErrorLog(const std::string&, const pelmar::ErrorInfo&, const std::string& message,
                       bool flagA, bool flagB) override {
        records.push_back(message);
        EXPECT_TRUE(flagA);
        EXPECT_TRUE(flagB);
    }
    std::vector<std::string> records;
};

constexpr const char* kMandatory =
    "The First Name, Mobile Number and Sex fields are mandatory and have to be mapped to some source fields.";
constexpr const char* kDuplicate = "A destination field can be mapped to a source field only once.";

class MappingGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        pelmar::SetUserInterface(ui_);
        pelmar::Session().Logger = logger_;
        pelmar::Session().ColumnMap.Reset();
    }
    void TearDown() override {
        pelmar::SetUserInterface(nullptr);
        pelmar::Session().Logger.reset();
        pelmar::Session().ColumnMap.Reset();
    }

    // A preview list of `columns` columns whose first row is `fields`.
    static pelmar::RecordStore List(int32_t columns, const std::vector<std::string>& fields) {
        pelmar::RecordStore list;
        list.SetColumnCount(columns);
        list.AddRow(1, fields.at(0));
        for (std::size_t i = 1; i < fields.size(); ++i) list.AddSubItem(fields[i]);
        list.AddRow(2, "second");
        return list;
    }

    // A loaded grid of `rows` rows with the given destinations set by the user.
    MappingGrid Grid(int32_t rows, const std::vector<std::pair<int32_t, std::string>>& destinations) {
        MappingGrid grid;
        grid.Load(List(rows, std::vector<std::string>(static_cast<std::size_t>(rows), "v")));
        for (const auto& [row, field] : destinations) grid.SetDestination(row, field);
        return grid;
    }

    std::string LastMessage() const { return ui_->messages.empty() ? "" : ui_->messages.back().prompt; }

    std::shared_ptr<pelmar::RecordingUserInterface> ui_ = std::make_shared<pelmar::RecordingUserInterface>();
    std::shared_ptr<RecordingLogger> logger_ = std::make_shared<RecordingLogger>();
};

TEST_F(MappingGridTest, LoadsSamplesAndTheStoredMapping) {
    pelmar::ColumnMap& map = pelmar::Session().ColumnMap;
    map[1] = {"2", "MobileNumber"};
    map[2] = {"0", " FirstName"};
    MappingGrid grid;
    grid.Load(List(5, {" ", "Ann", "  ", " x "}));  // the fifth sub-item is missing

    ASSERT_EQ(grid.Rows(), 5);
    const std::vector<std::vector<std::string>> expected = {
        {"", "Text Field", "Address Book Field", ""},
        {"1", " ", " FirstName", "1"},
        {"2", "Ann", "", "-1"},
        {"3", "Column3", "MobileNumber", "6"},
        {"4", " x ", "", "-1"},
        {"5", "Column5", "", "-1"},
    };
    for (int32_t r = 0; r <= 5; ++r) {
        for (int32_t c = 0; c < 4; ++c) EXPECT_EQ(grid.Cell(r, c), expected[r][c]) << r << "," << c;
    }
    EXPECT_EQ(MappingGrid::ColumnWidth(3), 0);
    EXPECT_EQ(MappingGrid::GridWidth(), 5200);
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(MappingGridTest, LoadingAnEmptyListShowsAndLogsTheFailure) {
    MappingGrid grid;
    grid.Load(pelmar::RecordStore());
    EXPECT_EQ(grid.Rows(), 0);
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0].prompt, "An error has occurred while loading column mapping information.");
    EXPECT_EQ(ui_->messages[0].style, 48);
    ASSERT_EQ(logger_->records.size(), 1u);
    EXPECT_EQ(logger_->records[0],
              "Error occurred in loading column mapping information. Sub : Form_Load(frmColMapping)");
}

TEST_F(MappingGridTest, OkChecksInOrder) {
    struct Case {
        const char* name;
        std::vector<std::pair<int32_t, std::string>> destinations;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"nothing mapped", {}, kMandatory},
        {"Sex is not counted", {{1, "FirstName"}, {2, "Sex"}}, kMandatory},
        {"FirstName twice", {{1, "FirstName"}, {2, "FirstName"}}, kDuplicate},
        {"duplicate of another field", {{1, "FirstName"}, {2, "MobileNumber"}, {3, "City"}, {5, "City"}},
         kDuplicate},
        {"unknown name", {{1, "FirstName"}, {2, "MobileNumber"}, {3, "<ignore>"}, {4, "Nickname"}, {5, "Xyz"}},
         "Invalid destination field name in row no 4"},
        {"ignored and empty rows may repeat", {{1, "FirstName"}, {2, "MobileNumber"}, {3, "<ignore>"},
                                               {4, "<ignore>"}}, ""},
    };
    for (const auto& c : cases) {
        ui_->messages.clear();
        pelmar::Session().ColumnMap.Reset();
        MappingGrid grid = Grid(6, c.destinations);
        EXPECT_EQ(grid.Finish(), c.message.empty()) << c.name;
        EXPECT_EQ(LastMessage(), c.message) << c.name;
        if (!c.message.empty()) {
            EXPECT_EQ(ui_->messages.back().style, 64);
            EXPECT_EQ(pelmar::Session().ColumnMap[1].SourcePosition, "-1") << c.name;
        }
    }
}

TEST_F(MappingGridTest, OkPacksTheMappedRowsFromTheFirstEntry) {
    pelmar::ColumnMap& map = pelmar::Session().ColumnMap;
    for (int n = 1; n <= 21; ++n) map[n] = {"9", "Old"};
    MappingGrid grid;
    grid.Load(List(7, {"a", "b", "c", "d", "e", "f", "g"}));  // starts with the old destinations
    for (int32_t r = 1; r <= 7; ++r) grid.SetDestination(r, "<ignore>");
    grid.SetDestination(2, "MobileNumber");
    grid.SetDestination(5, "FirstName");
    grid.SetDestination(6, "Country");
    ASSERT_TRUE(grid.Finish());
    EXPECT_EQ(map[1].SourcePosition, "1");
    EXPECT_EQ(map[1].FieldName, "MobileNumber");
    EXPECT_EQ(map[2].SourcePosition, "4");
    EXPECT_EQ(map[3].SourcePosition, "5");
    EXPECT_EQ(map[3].FieldName, "Country");
    for (int n = 4; n <= 20; ++n) {
        EXPECT_EQ(map[n].SourcePosition, "") << n;
        EXPECT_EQ(map[n].FieldName, "") << n;
    }
    EXPECT_EQ(map[21].FieldName, "Old");

    MappingGrid reopened;
    reopened.Load(List(7, {"a", "b", "c", "d", "e", "f", "g"}));
    EXPECT_EQ(reopened.Cell(2, 2), "MobileNumber");
    EXPECT_EQ(reopened.Cell(6, 3), "13");
    EXPECT_EQ(reopened.Cell(1, 2), "");
}

TEST_F(MappingGridTest, EditorSearchesByPrefixAndCommitsIntoItsRow) {
    MappingGrid grid = Grid(3, {});
    grid.SetCurrentCell(1, 2);
    grid.OpenEditor();
    ASSERT_TRUE(grid.EditorVisible());
    grid.SetEditorText("s");
    EXPECT_EQ(grid.EditorText(), "Sex");
    EXPECT_EQ(grid.EditorListIndex(), 8);
    grid.SetEditorText("COUNTRY");
    EXPECT_EQ(grid.EditorText(), "CountryCode");
    grid.SetEditorText("");
    EXPECT_EQ(grid.EditorListIndex(), -1);
    grid.SetEditorText("Nick");
    EXPECT_EQ(grid.EditorText(), "Nick");
    EXPECT_EQ(grid.EditorListIndex(), -1);

    grid.SetCurrentCell(1, 1);  // leaving the cell commits into row 1
    EXPECT_FALSE(grid.EditorVisible());
    EXPECT_EQ(grid.Cell(1, 2), "Nick");
    EXPECT_EQ(grid.Cell(1, 3), "-1");
    grid.OpenEditor();  // column 1: no editor
    EXPECT_FALSE(grid.EditorVisible());

    grid.SetCurrentCell(2, 2);
    grid.OpenEditor();  // an empty cell keeps the previous text
    EXPECT_EQ(grid.EditorText(), "Nick");
    grid.SelectEditorItem(0);
    grid.EditorEnter();
    EXPECT_EQ(grid.Cell(2, 2), "<ignore>");
    EXPECT_EQ(grid.Cell(2, 3), "-1");
    EXPECT_EQ(grid.CurrentRow(), 3);
    EXPECT_FALSE(grid.EditorVisible());

    grid.OpenEditor();
    grid.SetEditorText("ho");
    grid.EditorEnter();  // the last row: commits and stays
    EXPECT_EQ(grid.Cell(3, 2), "HomePhone");
    EXPECT_EQ(grid.Cell(3, 3), "15");
    EXPECT_EQ(grid.CurrentRow(), 3);
}

TEST_F(MappingGridTest, OkCommitsAVisibleEditorOnlyWithAListItem) {
    MappingGrid grid = Grid(3, {{1, "FirstName"}});
    grid.SetCurrentCell(2, 2);
    grid.OpenEditor();
    grid.SetEditorText("mob");
    EXPECT_TRUE(grid.Finish());
    EXPECT_EQ(pelmar::Session().ColumnMap[2].FieldName, "MobileNumber");

    pelmar::Session().ColumnMap.Reset();
    MappingGrid typed = Grid(3, {{1, "FirstName"}});
    typed.SetCurrentCell(2, 2);
    typed.OpenEditor();
    typed.SetEditorText("zz");
    EXPECT_FALSE(typed.Finish());
    EXPECT_EQ(LastMessage(), kMandatory);
    EXPECT_EQ(typed.Cell(2, 2), "");
}

}  // namespace
