// The import run through the wizard's handlers; the run's own rules are the core's tests.
#include "core/import_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "forms/import_wizard.h"
#include "forms/mapping_grid.h"
#include "forms/picker_dialog.h"
#include "forms/source_check.h"
#include "session/session_state.h"
#include "testing/session_fixture.h"

namespace pelmar {
namespace {

using test::ReadLines;
using test::Rows;

struct Choices {
    int32_t delimiter = DelimiterComma;
    std::string prefix = {};
    bool onlyIfNotPresent = false;
    std::vector<std::pair<int, std::string>> map = {};  // 0-based source position, field
    std::string key = {};                               // picker key; "" keeps the default
    std::string startRow = "1";
    bool standardCsv = false;
    bool skipDuplicates = false;
    std::string localeRegion = {};  // the window's locale
    std::string phoneRegion = {};   // typed into the box; "" leaves it
    bool mobileOnly = false;
};

// Total, imported, failed, skipped, and 1 when the run had errors.
std::vector<int32_t> Tally(const ImportRunCounts& c) {
    return {c.TotalRecords, c.ImportedCount, c.FailedCount, c.SkippedCount, c.HadErrors};
}
using Tallies = std::vector<int32_t>;

const char* const kSuccess = "Contacts import completed successfully.\r\nPlease view Import Log for details.";

class ImportRunTest : public test::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        if (IsSkipped()) return;
        InitSession(RuntAtClient, Folder().file("import.log"));
        ASSERT_TRUE(session.InitDone);
        session.UserID = 2;
        Exec({"INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (1,'Customers',0,0)",
              "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (2,'Key Accounts',1,0)"});
    }

    // Page 1 filled in, Next, the mapping dialog's OK when a mapping is given,
    // Finish, Close.
    std::optional<ImportRunCounts> Import(const std::string& text, const Choices& choices = {}) {
        form_ = std::make_unique<ImportForm>(session);
        ImportWizard wizard(*form_);
        wizard.Load();
        if (!choices.key.empty()) {
            SelectFolderDialog picker(session);
            picker.SelectedNodeKey = picker.SelectedNodeText = choices.key;
            picker.OK();
            wizard.ApplyPickerResult(picker);
        }
        test::WriteFile(Source(), text);
        form_->controls.txtLocation = Source();
        EXPECT_TRUE(ValidateFile(*form_, Source()).Loaded());
        form_->controls.txtStartFromRow = choices.startRow;
        wizard.DelimiterOptionClick(choices.delimiter);
        form_->controls.txtPrefix = choices.prefix;
        wizard.ChkPresentClick(choices.onlyIfNotPresent);
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
        return finish_.Started() ? std::optional(finish_.run.Counts) : std::nullopt;
    }

    std::vector<std::string> LogLines() const { return ReadLines(Folder().file("import.log")); }
    bool Logged(const std::string& line) const { return std::ranges::count(LogLines(), line) > 0; }
    std::string Source() const { return Folder().file("contacts.csv"); }
    std::string BadFile() const { return Folder().file("contacts.bad"); }
    std::string LastPrompt() const { return ui->messages.empty() ? "" : ui->messages.back().prompt; }

    std::unique_ptr<ImportForm> form_;
    FinishResult finish_;
    std::size_t logLinesBeforeFinish_ = 0;
};

// An invalid e-mail address is stored empty with a warning and no error; an
// address of blanks only is no address.
TEST_P(ImportRunTest, DefaultMappingStoresSummarisesAndLeavesTheWizardReadyOnlyToClose) {
    const auto counts = Import(
        "Asha,B,Verma,asha@example.com,12 Park St,9810012345,Kestrel,f\r\n"
        "Sean,,O'Neil,o'neil@example.com,7 Harbour,9830034567,Bluefin,M\r\n"
        "Li,,Wei,ann@example,18 River,9870078901,,\r\n"
        "Bob,,Ray,  ,,98101,,\r\n");
    ASSERT_TRUE(counts);
    EXPECT_EQ(Tally(*counts), (Tallies{4, 4, 0, 0, 0}));
    EXPECT_EQ(
        Select("SELECT FNAME,MNAME,LNAME,EMAIL,ADDRESS,MOBILENO,ORGANISATION,SEX,USER_ID,FOLDER_ID,AGE "
               "FROM SMS_ABCONTACTS ORDER BY ID"),
        (Rows{{"Asha", "B", "Verma", "asha@example.com", "12 Park St", "9810012345", "Kestrel", "F", "2", "0", "0"},
              {"Sean", "", "O''Neil", "o'neil@example.com", "7 Harbour", "9830034567", "Bluefin", "M", "2", "0", "0"},
              {"Li", "", "Wei", "", "18 River", "9870078901", "", "", "2", "0", "0"},
              {"Bob", "", "Ray", "", "", "98101", "", "", "2", "0", "0"}}));
    EXPECT_EQ(Select("SELECT COUNT(*) FROM SMS_ABCONTACTS WHERE BIRTHDAY IS NULL AND ANNIVERSARY IS NULL"),
              (Rows{{"4"}}));
    EXPECT_TRUE(Logged("PelmarImpExp: Email id is not valid at record no 3"));
    EXPECT_FALSE(Logged("PelmarImpExp: Email id is not valid at record no 4"));

    auto lines = LogLines();
    ASSERT_EQ(lines.size(), logLinesBeforeFinish_ + 3 + 8);  // opening lines, one warning, summary
    EXPECT_TRUE(lines[logLinesBeforeFinish_].starts_with("PelmarImpExp: Contacts import started at "));
    EXPECT_EQ(lines[logLinesBeforeFinish_ + 1], std::string(50, '='));
    const std::string completed = "PelmarImpExp: Contacts import completed at ";
    EXPECT_TRUE(lines[lines.size() - 2].starts_with(completed));
    lines[lines.size() - 2] = completed;
    EXPECT_EQ(std::vector<std::string>(lines.end() - 8, lines.end()),
              (std::vector<std::string>{"PelmarImpExp: Total no of records : 4",
                                        "PelmarImpExp: Successfully imported : 4", "PelmarImpExp: Failed : 0",
                                        "PelmarImpExp: Skipped : 0", "", std::string(50, '='), completed, ""}));
    EXPECT_EQ(LastPrompt(), kSuccess);
    EXPECT_EQ(ui->messages.back().style, msgbox::Exclamation);
    EXPECT_FALSE(std::filesystem::exists(BadFile()));

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
        EXPECT_EQ(finish_.outcome, FinishResult::Outcome::NotStarted);
        EXPECT_EQ(LastPrompt(), c.message);
        EXPECT_EQ(LogLines().size(), logLinesBeforeFinish_);
        EXPECT_EQ(form_->controls.txtLocation, Source());
    }
    // The one-column list still got the default mapping.
    EXPECT_EQ(session.ColumnMap[6].FieldName, "MobileNumber");
}

// An Age beyond 32 bits fails its record at the insert.
TEST_P(ImportRunTest, FinishReportsTheOutcomeAndTheRejectedLinesItWrote) {
    const struct {
        const char* text;
        FinishResult::Outcome outcome;
        int32_t badLines;
    } cases[] = {
        {"Ann,98100,1\r\n", FinishResult::Outcome::Completed, 0},
        {"Ann,98100,3000000000\r\nBob,98101,2\r\nCy,98102,3000000000\r\n", FinishResult::Outcome::CompletedWithErrors,
         2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        std::filesystem::remove(BadFile());
        ASSERT_TRUE(Import(c.text, {.map = {{0, "FirstName"}, {1, "MobileNumber"}, {2, "Age"}}}));
        EXPECT_EQ(finish_.outcome, c.outcome);
        EXPECT_EQ(finish_.badLines, c.badLines);
        EXPECT_EQ(finish_.badFile, BadFile());
        EXPECT_EQ(finish_.logFile, Folder().file("import.log"));
        EXPECT_EQ(static_cast<int32_t>(ReadLines(BadFile()).size()), c.badLines);
        EXPECT_EQ(finish_.rejectsFile, "");  // only the standard CSV format writes one
        EXPECT_EQ(finish_.run.Counts.FailedCount, c.badLines);
    }
}

TEST_P(ImportRunTest, TheSkipBoxLeavesContactsAlreadyThereAloneInTheStandardModeOnly) {
    const struct {
        bool standard, skip;
        const char* stored;
    } cases[] = {{true, true, "2"}, {true, false, "4"}, {false, true, "4"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "standard " << c.standard << " skip " << c.skip);
        Exec({"DELETE FROM SMS_ABCONTACTS"});
        const std::string text = c.standard ? "First Name,Mobile Phone\nAnn,9810012345\nBob,9820023456\n"
                                            : "Ann,9810012345\r\nBob,9820023456\r\n";
        Choices choices{.standardCsv = c.standard, .skipDuplicates = c.skip};
        if (!c.standard) choices.map = {{0, "FirstName"}, {1, "MobileNumber"}};
        for (int run = 0; run < 2; ++run) ASSERT_TRUE(Import(text, choices));
        EXPECT_EQ(Select("SELECT COUNT(*) FROM SMS_ABCONTACTS"), (Rows{{c.stored}}));
    }
}

// The region box is filled in from the locale when the standard box is first ticked.
TEST_P(ImportRunTest, ThePhoneBoxesCheckNumbersInTheStandardModeOnly) {
    const struct {
        Choices choices;
        Rows stored;
    } cases[] = {
        {{.standardCsv = true, .phoneRegion = "IN India"}, {{"+919810012345"}, {"+442079460958"}}},
        {{.standardCsv = true, .phoneRegion = "in", .mobileOnly = true}, {{"+919810012345"}}},
        {{.standardCsv = true, .localeRegion = "IN"}, {{"+919810012345"}, {"+442079460958"}}},
        {{.standardCsv = true, .mobileOnly = true}, {{"09810012345"}, {"+442079460958"}}},
        {{.map = {{0, "FirstName"}, {1, "MobileNumber"}}, .localeRegion = "IN", .phoneRegion = "IN"},
         {{"09810012345"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "standard " << c.choices.standardCsv << " region " << c.choices.phoneRegion
                                        << c.choices.localeRegion);
        Exec({"DELETE FROM SMS_ABCONTACTS"});
        const std::string text = c.choices.standardCsv
                                     ? "First Name,Mobile Phone\nAnn,09810012345\nBob,+44 20 7946 0958\n"
                                     : "Ann,09810012345\r\nBob,+44 20 7946 0958\r\n";
        ASSERT_TRUE(Import(text, c.choices));
        EXPECT_EQ(Select("SELECT MOBILENO FROM SMS_ABCONTACTS ORDER BY ID"), c.stored);
    }
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ImportRunTest);

}  // namespace
}  // namespace pelmar
