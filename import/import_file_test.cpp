#include "import/import_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "common/error.h"
#include "common/ui.h"
#include "component/session_state.h"
#include "testing/temp_dir.h"

namespace {

using pelmar::ImportForm;
using Rows = std::vector<std::vector<std::string>>;

struct RecordingLogger : pelmar::EventLogger {
    struct Record {
        std::string file;
        pelmar::ErrorInfo info;
        std::string message;
        bool flagA;
        bool flagB;
    };
    void WriteErrorLog(const std::string& file, const pelmar::ErrorInfo& info,
                       const std::string& message, bool flagA, bool flagB) override {
        records.push_back({file, info, message, flagA, flagB});
    }
    std::vector<Record> records;
};

// Every listed row as its key, text and sub-items.
Rows Listed(const pelmar::RecordStore& list) {
    Rows rows;
    for (int32_t r = 1; r <= list.RowCount(); ++r) {
        std::vector<std::string> row{list.RowKey(r), std::string(list.RowText(r))};
        for (int32_t i = 1; i <= list.SubItemCount(r); ++i) row.emplace_back(list.SubItem(r, i));
        rows.push_back(row);
    }
    return rows;
}

class ImportFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        pelmar::SetUserInterface(ui_);
        pelmar::Session().Logger = logger_;
        pelmar::Session().LogFilePath = dir_.file("import.log");
    }
    void TearDown() override {
        pelmar::SetUserInterface(nullptr);
        pelmar::Session().Logger.reset();
    }

    ImportForm List(std::string_view bytes, const std::string& startRow = "1",
                    int32_t option = pelmar::DelimiterComma, const std::string& other = "") {
        const std::string path = dir_.file("source.csv");
        pelmar::testing::WriteFile(path, bytes);
        ImportForm form;
        form.vars.SourceFile = path;
        form.vars.SourceLineCount = 1000000;
        form.controls.txtStartFromRow = startRow;
        form.controls.optDelimeter = option;
        form.controls.txtOther = other;
        pelmar::ImportFile(form);
        return form;
    }

    std::size_t Messages() const { return ui_->messages.size(); }
    std::size_t Errors() const { return logger_->records.size(); }

    pelmar::testing::TempDir dir_;
    std::shared_ptr<pelmar::RecordingUserInterface> ui_ = std::make_shared<pelmar::RecordingUserInterface>();
    std::shared_ptr<RecordingLogger> logger_ = std::make_shared<RecordingLogger>();
};

TEST_F(ImportFileTest, ListsEveryLineFromTheStartRowCutToTheStartRowsColumns) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string startRow;
        int32_t option;
        std::string other;
        int32_t columns;
        Rows rows;
    };
    const std::vector<Case> cases = {
        {"header skipped", "Name,Mobile\r\n\"Ann\",98100\r\nBob", "2", pelmar::DelimiterComma, "", 2,
         {{"CN2", "Ann", "98100"}, {"CN3", "Bob", ""}}},
        {"header listed", "Name,Mobile\r\nBob,1", "1", pelmar::DelimiterComma, "", 2,
         {{"CN1", "Name", "Mobile"}, {"CN2", "Bob", "1"}}},
        {"start row read as its number", "a\r\nb\r\nc", "02", pelmar::DelimiterComma, "", 1,
         {{"CN2", "b"}, {"CN3", "c"}}},
        {"short and long lines", "a,b,c\r\nd,e,f,g\r\nh\r\n,,", "1", pelmar::DelimiterComma, "", 3,
         {{"CN1", "a", "b", "c"}, {"CN2", "d", "e", "f"}, {"CN3", "h", "", ""}, {"CN4", "", "", ""}}},
        {"empty lines after the start row", "a;b\r\n\r\n\r\nc;d", "1", pelmar::DelimiterSemicolon, "", 2,
         {{"CN1", "a", "b"}, {"CN2", "", ""}, {"CN3", "", ""}, {"CN4", "c", "d"}}},
        {"quotes", "\"x\",\"y, \"z\",\"a,b\",\"\"", "1", pelmar::DelimiterComma, "", 6,
         {{"CN1", "x", "", " \"z\"", "", "b\"", ""}}},
        {"spaces stay", " a , b ", "1", pelmar::DelimiterComma, "", 2, {{"CN1", " a ", " b "}}},
        {"line ends", "a,b\nc\rd,e\r\nf\r\n", "1", pelmar::DelimiterComma, "", 2,
         {{"CN1", "a", "b\nc"}, {"CN2", "d", "e"}, {"CN3", "f", ""}}},
        {"tab", "a\tb,c", "1", pelmar::DelimiterTab, "", 2, {{"CN1", "a", "b,c"}}},
        {"space", "a b  c", "1", pelmar::DelimiterSpace, "", 4, {{"CN1", "a", "b", "", "c"}}},
        {"other is case-sensitive", "xAyaz", "1", pelmar::DelimiterOther, "a", 2, {{"CN1", "xAy", "z"}}},
        {"other keeps its first character", "1b2a3", "1", pelmar::DelimiterOther, " ab ", 2,
         {{"CN1", "1b2", "3"}}},
        {"empty other is a blank", "p q", "1", pelmar::DelimiterOther, "  ", 2, {{"CN1", "p", "q"}}},
        {"other may be any character", "a\xC2\xA7" "b\xC2\xA7", "1", pelmar::DelimiterOther, "\xC2\xA7", 3,
         {{"CN1", "a", "b", ""}}},
        {"UTF-8 mark is not part of the first field", "\xEF\xBB\xBF" "a,b", "1", pelmar::DelimiterComma, "",
         2, {{"CN1", "a", "b"}}},
        {"Windows-1252 text", "Jos\xE9,1", "1", pelmar::DelimiterComma, "", 2, {{"CN1", "Jos\xC3\xA9", "1"}}},
    };
    for (const auto& c : cases) {
        const ImportForm form = List(c.bytes, c.startRow, c.option, c.other);
        EXPECT_EQ(form.lvwContacts.ColumnCount(), c.columns) << c.name;
        EXPECT_EQ(Listed(form.lvwContacts), c.rows) << c.name;
        EXPECT_TRUE(form.controls.cmdMappingEnabled) << c.name;
        EXPECT_FALSE(form.controls.ProgressBar1.Visible()) << c.name;
    }
    EXPECT_EQ(Messages(), 0u);
    EXPECT_EQ(Errors(), 0u);
}

TEST_F(ImportFileTest, EmptyStartRowListsNothingAndLeavesMappingDisabled) {
    const ImportForm form = List("\r\na,b\r\n", "1");
    EXPECT_EQ(form.lvwContacts.ColumnCount(), 0);
    EXPECT_EQ(form.lvwContacts.RowCount(), 0);
    EXPECT_FALSE(form.controls.cmdMappingEnabled);
    EXPECT_EQ(Messages(), 0u);
}

TEST_F(ImportFileTest, StartRowPastTheEndFailsOnceWithAnEmptyList) {
    const ImportForm form = List("a,b\r\nc,d\r\n", "3");
    EXPECT_EQ(form.lvwContacts.RowCount(), 0);
    EXPECT_FALSE(form.controls.cmdMappingEnabled);
    ASSERT_EQ(Messages(), 1u);
    EXPECT_EQ(ui_->messages[0].prompt, "An error has occurred while listing data.\r\nFor detail view log.");
    EXPECT_EQ(ui_->messages[0].style, 16);
    ASSERT_EQ(Errors(), 1u);
    const auto& record = logger_->records[0];
    EXPECT_EQ(record.file, dir_.file("import.log"));
    EXPECT_EQ(record.info.Number, pelmar::errnum::InputPastEndOfFile);
    EXPECT_EQ(record.message, "Error occurred while listing data. Sub: ImportFile");
    EXPECT_FALSE(record.flagA);
    EXPECT_TRUE(record.flagB);
}

TEST_F(ImportFileTest, ADelimiterPastCharacter32767FailsThatLineOnly) {
    const std::string far(40000, 'x');
    std::string accents;
    for (int i = 0; i < 20000; ++i) accents += "\xC3\xA9";  // 40,000 bytes, 20,000 characters
    const std::string bytes = "a,b,c\r\n" + far + ",y,z\r\na," + far + ",z\r\n" + accents + ",q,r\r\nd,e,f";
    const ImportForm form = List(bytes, "1");
    EXPECT_EQ(Listed(form.lvwContacts),
              (Rows{{"CN1", "a", "b", "c"}, {"CN3", "a"}, {"CN4", accents, "q", "r"}, {"CN5", "d", "e", "f"}}));
    EXPECT_EQ(Errors(), 2u);
    EXPECT_EQ(logger_->records[0].info.Number, pelmar::errnum::Overflow);
    EXPECT_EQ(Messages(), 1u);
}

TEST_F(ImportFileTest, DrivesTheProgressBarAndFailsEachLinePastItsMaximum) {
    const std::string path = dir_.file("p.csv");
    pelmar::testing::WriteFile(path, "a\r\nb\r\nc\r\nd");
    ImportForm form;
    form.vars.SourceFile = "  " + path + " ";  // trimmed before opening
    form.vars.SourceLineCount = 2;
    std::vector<int32_t> values;
    form.controls.ProgressBar1.SetObserver([&](const pelmar::ProgressBar& bar) {
        if (bar.Visible()) values.push_back(bar.Value());
    });
    pelmar::ImportFile(form);
    EXPECT_EQ(form.lvwContacts.RowCount(), 4);  // each row stays listed
    EXPECT_EQ(form.controls.ProgressBar1.Max(), 2);
    EXPECT_FALSE(form.controls.ProgressBar1.Visible());
    EXPECT_EQ(values.back(), 2);
    EXPECT_EQ(Errors(), 2u);
    EXPECT_EQ(Messages(), 1u);
}

TEST_F(ImportFileTest, AMissingSourceFileEndsTheRunWithTheMessage) {
    ImportForm form;
    form.vars.SourceFile = dir_.file("gone.csv");
    form.lvwContacts.AddRow(1, "old");
    pelmar::ImportFile(form);
    EXPECT_EQ(form.lvwContacts.RowCount(), 0);
    EXPECT_EQ(Errors(), 1u);
    EXPECT_EQ(Messages(), 1u);
}

}  // namespace
