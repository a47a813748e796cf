// The import run through the wizard's handlers; the run's own rules are the core's tests.
#include "core/import_run.h"

#include <gtest/gtest.h>

#include <memory>

#include "forms/import_wizard.h"
#include "forms/mapping_grid.h"
#include "forms/picker_dialog.h"
#include "forms/source_check.h"
#include "session/session_state.h"
#include "testing/form_fixture.h"
#include "testing/session_fixture.h"

namespace pelmar {
namespace {

using test::ReadLines;
using test::Rows;
using Lines = std::vector<std::string>;

struct Choices {
    std::string startRow = "1";
    std::vector<std::pair<int, std::string>> map = {};  // 0-based source position, field
    bool standardCsv = false;
    bool skipDuplicates = false;
    std::string localeRegion = {};  // the window's locale
    std::string phoneRegion = {};   // typed into the box; "" leaves it
    bool mobileOnly = false;
};

class ImportRunTest : public test::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        if (IsSkipped()) return;
        InitSession(RuntAtClient, Folder().file("import.log"));
        ASSERT_TRUE(session.InitDone);
        session.UserID = 2;
    }

    // Page 1 filled in, Next, the mapping dialog's OK when a mapping is given,
    // Finish, Close.
    bool Import(const std::string& text, const Choices& choices = {}) {
        form_ = std::make_unique<ImportForm>(session);
        ImportWizard wizard(*form_);
        wizard.Load();
        test::WriteFile(Source(), text);
        form_->controls.txtLocation = Source();
        EXPECT_TRUE(ValidateFile(*form_, Source()).Loaded());
        form_->controls.txtStartFromRow = choices.startRow;
        form_->LocaleRegion = choices.localeRegion;
        wizard.StandardCsvClick(choices.standardCsv);
        wizard.SkipDuplicatesClick(choices.skipDuplicates);
        if (!choices.phoneRegion.empty()) wizard.PhoneRegionChange(choices.phoneRegion);
        wizard.MobileOnlyClick(choices.mobileOnly);
        EXPECT_TRUE(wizard.Next().Listed());
        if (!choices.map.empty()) {
            MappingGrid grid(session);
            grid.Load(form_->lvwContacts);
            for (const auto& [position, field] : choices.map) grid.SetDestination(position + 1, field);
            EXPECT_TRUE(grid.Finish());
        }
        ui->messages.clear();
        logLinesBeforeFinish_ = LogLines().size();
        finish_ = wizard.Finish();
        wizard.Unload();
        return finish_.Started();
    }

    Lines LogLines() const { return ReadLines(Folder().file("import.log")); }
    std::string Source() const { return Folder().file("contacts.csv"); }
    std::string BadFile() const { return Folder().file("contacts.bad"); }

    std::unique_ptr<ImportForm> form_;
    FinishResult finish_;
    std::size_t logLinesBeforeFinish_ = 0;
};

// An invalid e-mail address is stored empty with a warning and no error; an
// address of blanks only is no address.
TEST_P(ImportRunTest, DefaultMappingStoresSummarisesAndLeavesTheWizardReadyOnlyToClose) {
    ASSERT_TRUE(
        Import("Asha,B,Verma,asha@example.com,12 Park St,9810012345,Kestrel,f\r\n"
               "Sean,,O'Neil,o'neil@example.com,7 Harbour,9830034567,Bluefin,M\r\n"
               "Li,,Wei,ann@example,18 River,9870078901,,\r\n"
               "Bob,,Ray,  ,,98101,,\r\n"));
    EXPECT_EQ(std::pair(finish_.outcome, finish_.badLines), std::pair(FinishResult::Outcome::Completed, 0));
    EXPECT_EQ(
        Select("SELECT FNAME,MNAME,LNAME,EMAIL,ADDRESS,MOBILENO,ORGANISATION,SEX,USER_ID,FOLDER_ID,AGE "
               "FROM SMS_ABCONTACTS ORDER BY ID"),
        (Rows{{"Asha", "B", "Verma", "asha@example.com", "12 Park St", "9810012345", "Kestrel", "F", "2", "0", "0"},
              {"Sean", "", "O''Neil", "o'neil@example.com", "7 Harbour", "9830034567", "Bluefin", "M", "2", "0", "0"},
              {"Li", "", "Wei", "", "18 River", "9870078901", "", "", "2", "0", "0"},
              {"Bob", "", "Ray", "", "", "98101", "", "", "2", "0", "0"}}));
    EXPECT_EQ(Select("SELECT COUNT(*) FROM SMS_ABCONTACTS WHERE BIRTHDAY IS NULL AND ANNIVERSARY IS NULL"),
              (Rows{{"4"}}));

    Lines lines = LogLines();  // the run's, its times cut off
    lines.erase(lines.begin(), lines.begin() + static_cast<std::ptrdiff_t>(logLinesBeforeFinish_));
    for (auto& line : lines)
        if (line.find("Contacts import") != std::string::npos) line = line.substr(0, line.find(" at "));
    EXPECT_EQ(lines,
              (Lines{"PelmarImpExp: Contacts import started", std::string(50, '='),
                     "PelmarImpExp: Email id is not valid at record no 3", "PelmarImpExp: Total no of records : 4",
                     "PelmarImpExp: Successfully imported : 4", "PelmarImpExp: Failed : 0", "PelmarImpExp: Skipped : 0",
                     "", std::string(50, '='), "PelmarImpExp: Contacts import completed", ""}));
    EXPECT_EQ(test::TakeShown(*ui),
              "48 Contacts import completed successfully.\r\nPlease view Import Log for details.\n");

    const ImportControls& c = form_->controls;  // only the location box is emptied
    EXPECT_TRUE(!c.ProgressBar1.Visible() && c.ProgressBar1.Value() == 4);
    EXPECT_TRUE(c.txtLocation.empty() && !c.rtfPreview.empty());
    EXPECT_TRUE(c.cmdCloseEnabled && !c.cmdFinishEnabled && !c.cmdPrevEnabled && !c.cmdMappingEnabled);
    EXPECT_EQ(c.ActiveControl, ImportControl::cmdClose);
    EXPECT_EQ(form_->lvwContacts.RowCount(), 4);
}

TEST_P(ImportRunTest, OpeningChecksStopBeforeAnythingIsLogged) {
    const struct {
        const char* text;
        const char* startRow;
        const char* message;
    } cases[] = {
        {"Ann,98100\r\n", "5", "Source file does not contain any record to import."},
        {"Ann\r\nBob\r\n", "1", "Data format is invalid,Please check your data."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        EXPECT_FALSE(Import(c.text, {.startRow = c.startRow}));
        EXPECT_EQ(test::TakeShown(*ui), "48 " + std::string(c.message) + "\n");
        EXPECT_EQ(LogLines().size(), logLinesBeforeFinish_);
        EXPECT_EQ(form_->controls.txtLocation, Source());
    }
    // The one-column list still got the default mapping.
    EXPECT_EQ(session.ColumnMap[6].FieldName, "MobileNumber");
}

// An Age beyond 32 bits fails its record at the insert; only the standard
// CSV format writes a rejects file.
TEST_P(ImportRunTest, FinishReportsTheOutcomeAndTheRejectedLinesItWrote) {
    ASSERT_TRUE(Import("Ann,98100,3000000000\r\nBob,98101,2\r\nCy,98102,3000000000\r\n",
                       {.map = {{0, "FirstName"}, {1, "MobileNumber"}, {2, "Age"}}}));
    EXPECT_EQ(std::tuple(finish_.outcome, finish_.badLines, finish_.run.Counts.FailedCount, finish_.badFile,
                         finish_.logFile, finish_.rejectsFile),
              std::tuple(FinishResult::Outcome::CompletedWithErrors, 2, 2, BadFile(), Folder().file("import.log"), ""));
    EXPECT_EQ(ReadLines(BadFile()).size(), 2u);
}

// The skip and phone boxes work in the standard mode alone; the region box is
// filled in from the locale when the standard box is first ticked.
TEST_P(ImportRunTest, TheStandardModesBoxesChangeOnlyItsRuns) {
    const auto map = std::vector<std::pair<int, std::string>>{{0, "FirstName"}, {1, "MobileNumber"}};
    const Rows both = {{"09810012345"}, {"+442079460958"}}, ann = {{"09810012345"}};
    const struct {
        Choices choices;
        int runs;
        Rows stored;
    } cases[] = {
        {{.standardCsv = true, .skipDuplicates = true}, 2, both},
        {{.standardCsv = true}, 2, {both[0], both[1], both[0], both[1]}},
        {{.map = map, .skipDuplicates = true}, 2, {ann[0], ann[0]}},
        {{.standardCsv = true, .phoneRegion = "IN India"}, 1, {{"+919810012345"}, {"+442079460958"}}},
        {{.standardCsv = true, .phoneRegion = "in", .mobileOnly = true}, 1, {{"+919810012345"}}},
        {{.standardCsv = true, .localeRegion = "IN"}, 1, {{"+919810012345"}, {"+442079460958"}}},
        {{.standardCsv = true, .mobileOnly = true}, 1, both},
        {{.map = map, .localeRegion = "IN", .phoneRegion = "IN"}, 1, ann},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "standard " << c.choices.standardCsv << " skip " << c.choices.skipDuplicates
                                        << " region " << c.choices.phoneRegion << c.choices.localeRegion);
        Exec({"DELETE FROM SMS_ABCONTACTS"});
        const std::string text = c.choices.standardCsv
                                     ? "First Name,Mobile Phone\nAnn,09810012345\nBob,+44 20 7946 0958\n"
                                     : "Ann,09810012345\r\nBob,+44 20 7946 0958\r\n";
        for (int run = 0; run < c.runs; ++run) ASSERT_TRUE(Import(text, c.choices));
        EXPECT_EQ(Select("SELECT MOBILENO FROM SMS_ABCONTACTS ORDER BY ID"), c.stored);
    }
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ImportRunTest);

}  // namespace
}  // namespace pelmar
