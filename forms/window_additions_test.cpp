#include "forms/window_additions.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/ui.h"
#include "core/xlsx_writer.h"
#include "forms/export_dialog.h"
#include "forms/import_file.h"
#include "forms/import_wizard.h"
#include "forms/source_check.h"
#include "forms/standard_source.h"
#include "session/logger_factory.h"
#include "session/session_state.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

class WindowAdditionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserInterface(ui_);
        session_.Logger = CreateEventLogger();
        session_.LogFilePath = folder_.file("impexp.log");
    }
    void TearDown() override { SetUserInterface(nullptr); }

    test::TempDir folder_;
    SessionState session_;
    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
};

TEST_F(WindowAdditionsTest, TheLineEndNoteShowsForLfAloneWhileTheStandardBoxIsUnticked) {
    const struct {
        const char* text;
        bool standard;
        bool note;
    } cases[] = {
        {"a,1\nb,2\n", false, true},    {"a,1\nb,2", false, true},
        {"a,1\nb,2\n", true, false},    {"a,1\r\nb,2\r\n", false, false},
        {"a,1\r\nb,2\n", false, false},  // one CR: lines as written
        {"a,1", false, false},          {"", false, false},
    };
    const std::string path = folder_.file("list.csv");
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::string(c.text)));
        test::WriteFile(path, c.text);
        ImportForm form(session_);
        ImportWizard wizard(form);
        form.controls.txtLocation = path;
        ASSERT_TRUE(SourceLocationValidate(form));
        wizard.StandardCsvClick(c.standard);
        EXPECT_EQ(LineEndHint(form), c.note ? kLfOnlyHint : "");
    }
    EXPECT_TRUE(ui_->messages.empty());  // a note, never a message
}

TEST_F(WindowAdditionsTest, WithTheStandardBoxCardsAndWorkbooksAreListedByTheirReaders) {
    const std::string cards = folder_.file("people.vcf");
    test::WriteFile(cards, "BEGIN:VCARD\r\nN:Cole;Anna\r\nTEL;CELL:0123\r\nEND:VCARD\r\n");
    const std::string sheet = folder_.file("people.xlsx");
    {
        XlsxWriter writer(sheet);
        std::array<std::string, kContactFieldCount> fields{"Anna"};
        fields[5] = "0123";
        writer.AddRow(fields);
        writer.Close();
    }
    const std::string text = folder_.file("people.csv");
    test::WriteFile(text, "Given Name,Mobile\r\nAnna,0123\r\n");
    const struct {
        std::string path;
        FileFormat format;
        std::string previewBegins;
        std::string firstColumn;
    } cases[] = {
        {cards, FileFormat::Vcard, "FirstName,MiddleName,LastName,", "FirstName"},
        {sheet, FileFormat::Xlsx, "FirstName,MiddleName,", "FirstName"},
        {text, FileFormat::Csv, "Given Name", "Given Name"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ImportForm form(session_);
        ImportWizard wizard(form);
        EXPECT_EQ(BrowseFilterOf(form), kBrowseFilter);
        wizard.StandardCsvClick(true);
        EXPECT_NE(BrowseFilterOf(form).find("|Contact files (*.csv *.txt *.vcf *.xlsx)|"), std::string::npos);
        form.controls.txtLocation = c.path;
        ASSERT_TRUE(SourceLocationValidate(form));
        EXPECT_TRUE(form.controls.rtfPreview.View().starts_with(c.previewBegins));
        ImportFile(form);
        EXPECT_EQ(form.ListedFormat, c.format);
        ASSERT_EQ(form.lvwContacts.RowCount(), 1);
        EXPECT_EQ(form.lvwContacts.RowText(1), "Anna");
        EXPECT_EQ(form.CsvHeader.at(0), c.firstColumn);
    }
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(WindowAdditionsTest, ADroppedFileIsCheckedAsIfTypedAndLeft) {
    const std::string source = folder_.file("list.csv");
    test::WriteFile(source, "Ann,9810012345\r\n");
    for (const bool exists : {true, false}) {
        SCOPED_TRACE(exists);
        ImportForm form(session_);
        const std::string path = exists ? source : folder_.file("none.csv");
        EXPECT_EQ(SourceDropped(form, path), exists);
        EXPECT_EQ(form.controls.txtLocation, path);
        EXPECT_TRUE(form.controls.spnPollingCausesValidation != exists);  // a passed check clears it
        EXPECT_EQ(form.vars.SourceFile, exists ? source : "");
        EXPECT_EQ(form.controls.ActiveControl, exists ? ImportControl::None : ImportControl::txtLocation);
    }
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0].prompt, "The source file was not found at the specified location.");
}

TEST_F(WindowAdditionsTest, AFileDroppedOnTheExportDialogBecomesItsDestination) {
    const std::string destination = folder_.file("out.csv");
    const std::string unwritable = folder_.file("missing/out.csv");
    ExportDialog dialog(session_);
    EXPECT_FALSE(DestinationDropped(dialog, unwritable));
    EXPECT_EQ(dialog.Focus, ExportDialog::Control::txtLocation);
    EXPECT_EQ(dialog.DestinationFile, "");
    dialog.Focus = ExportDialog::Control::None;
    EXPECT_TRUE(DestinationDropped(dialog, destination));
    EXPECT_EQ(dialog.txtLocation, destination);
    EXPECT_EQ(dialog.DestinationFile, destination);
    EXPECT_TRUE(std::filesystem::exists(destination));
    EXPECT_EQ(dialog.Focus, ExportDialog::Control::None);
}

}  // namespace
}  // namespace pelmar
