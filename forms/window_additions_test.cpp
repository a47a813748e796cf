#include "forms/window_additions.h"

#include <gtest/gtest.h>

#include "core/xlsx_writer.h"
#include "forms/export_dialog.h"
#include "forms/import_file.h"
#include "forms/import_wizard.h"
#include "forms/source_check.h"
#include "forms/standard_source.h"
#include "testing/form_fixture.h"

namespace pelmar {
namespace {

using test::TakeShown;
using WindowAdditionsTest = test::FormTest;

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
    for (const auto& c : cases) {
        ImportForm form(session);
        form.controls.rtfPreview = c.text;  // as the file check loads it
        ImportWizard(form).StandardCsvClick(c.standard);
        EXPECT_EQ(LineEndHint(form), c.note ? kLfOnlyHint : "") << testing::PrintToString(std::string(c.text));
    }
}

TEST_F(WindowAdditionsTest, WithTheStandardBoxCardsAndWorkbooksAreListedByTheirReaders) {
    const std::string cards = folder.file("people.vcf");
    test::WriteFile(cards, "BEGIN:VCARD\r\nN:Cole;Anna\r\nTEL;CELL:0123\r\nEND:VCARD\r\n");
    const std::string sheet = folder.file("people.xlsx");
    {
        XlsxWriter writer(sheet);
        std::array<std::string, kContactFieldCount> fields{"Anna"};
        fields[5] = "0123";
        writer.AddRow(fields);
        writer.Close();
    }
    // A standard CSV source is the standard mode's runs' (import_run_test.cpp).
    const struct {
        std::string path;
        FileFormat format;
    } cases[] = {{cards, FileFormat::Vcard}, {sheet, FileFormat::Xlsx}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        ImportForm form(session);
        ImportWizard wizard(form);
        EXPECT_EQ(BrowseFilterOf(form), kBrowseFilter);
        wizard.StandardCsvClick(true);
        EXPECT_NE(BrowseFilterOf(form).find("|Contact files (*.csv *.txt *.vcf *.xlsx)|"), std::string::npos);
        form.controls.txtLocation = c.path;
        ASSERT_TRUE(SourceLocationValidate(form));
        // Previewed and listed as CSV under the field names.
        EXPECT_TRUE(form.controls.rtfPreview.View().starts_with("FirstName,MiddleName,"));
        ImportFile(form);
        EXPECT_EQ(form.ListedFormat, c.format);
        EXPECT_EQ(std::to_string(form.lvwContacts.RowCount()) + std::string(form.lvwContacts.RowText(1)) + "|" +
                      form.CsvHeader.at(0),
                  "1Anna|FirstName");
    }
    EXPECT_EQ(TakeShown(*ui), "");
}

// A dropped file is checked as if typed and left; a failed check keeps the focus in the box.
TEST_F(WindowAdditionsTest, ADroppedFileIsCheckedAsIfTypedAndLeft) {
    const std::string source = folder.file("list.csv");
    test::WriteFile(source, "Ann,9810012345\r\n");
    for (const bool good : {true, false}) {
        SCOPED_TRACE(good);
        ImportForm form(session);
        ExportDialog dialog(session);
        const std::string from = good ? source : folder.file("none.csv");
        const std::string to = folder.file(good ? "out.csv" : "missing/out.csv");
        EXPECT_EQ(SourceDropped(form, from), good);
        EXPECT_EQ(DestinationDropped(dialog, to), good);
        EXPECT_EQ(std::tuple(form.controls.txtLocation, form.vars.SourceFile, form.controls.ActiveControl),
                  std::tuple(from, good ? source : "", good ? ImportControl::None : ImportControl::txtLocation));
        EXPECT_EQ(
            std::tuple(dialog.txtLocation, dialog.DestinationFile, dialog.Focus),
            std::tuple(to, good ? to : "", good ? ExportDialog::Control::None : ExportDialog::Control::txtLocation));
        EXPECT_TRUE(form.controls.spnPollingCausesValidation != good);  // a passed check clears it
    }
}

}  // namespace
}  // namespace pelmar
