// The import run end to end: a source file through the wizard's Next and
// Finish into the address book of every back end.
#include "core/import_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "common/text.h"
#include "db/command.h"
#include "db/connection.h"
#include "forms/import_wizard.h"
#include "forms/mapping_grid.h"
#include "forms/picker_dialog.h"
#include "forms/source_check.h"
#include "session/session_state.h"
#include "testing/session_fixture.h"

namespace pelmar {
namespace {

using Rows = std::vector<std::vector<std::string>>;
using test::ReadLines;

struct Choices {
    int32_t delimiter = DelimiterComma;
    std::string prefix = {};
    bool onlyIfNotPresent = false;
    std::vector<std::pair<int, std::string>> map = {};  // 0-based source position, field
    std::string key = {};                               // picker key; "" keeps the default
    std::string startRow = "1";
};

// Total, imported, failed, skipped, and 1 when the run had errors.
std::vector<int32_t> Tally(const ImportRunCounts& c) {
    return {c.TotalRecords, c.ImportedCount, c.FailedCount, c.SkippedCount, c.HadErrors};
}
using Tallies = std::vector<int32_t>;

const char* const kSuccess = "Contacts import completed successfully.\r\nPlease view Import Log for details.";
const char* const kWithErrors = "Contacts import has completed with errors.\r\nPlease view Import Log for deatils.";

// A logger that names the database type the test asks for and counts the asks.
struct TypedLogger : EventLogger {
    explicit TypedLogger(std::string t) : type(std::move(t)) {}
    std::string DatabaseType() const override { return ++asked, type; }
    std::string type;
    mutable int asked = 0;
};

class ImportRunTest : public test::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        if (IsSkipped()) return;
        InitSession(RuntAtClient, Folder().file("import.log"));
        ASSERT_TRUE(Session().InitDone);
        Session().UserID = 2;
        Exec({"INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (1,'Customers',0,0)",
              "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (2,'Key Accounts',1,0)"});
    }

    // Page 1 filled in, Next, the mapping dialog's OK when a mapping is given,
    // Finish, Close.
    std::optional<ImportRunCounts> Import(const std::string& text, const Choices& choices = {}) {
        form_ = std::make_unique<ImportForm>();
        ImportWizard wizard(*form_);
        wizard.Load();
        if (!choices.key.empty()) {
            SelectFolderDialog picker;
            picker.SelectedNodeKey = picker.SelectedNodeText = choices.key;
            picker.OK();
            wizard.ApplyPickerResult(picker);
        }
        test::WriteFile(Source(), text);
        form_->controls.txtLocation = Source();
        EXPECT_TRUE(ValidateFile(*form_, Source()));
        form_->controls.txtStartFromRow = choices.startRow;
        wizard.DelimiterOptionClick(choices.delimiter);
        form_->controls.txtPrefix = choices.prefix;
        wizard.ChkPresentClick(choices.onlyIfNotPresent);
        EXPECT_TRUE(wizard.Next());
        if (!choices.map.empty()) {
            MappingGrid grid;
            grid.Load(form_->lvwContacts);
            for (const auto& [position, field] : choices.map) grid.SetDestination(position + 1, field);
            EXPECT_TRUE(grid.Finish());
        }
        ui->messages.clear();
        logLinesBeforeFinish_ = LogLines().size();
        std::optional<ImportRunCounts> counts = wizard.Finish();
        wizard.Unload();
        return counts;
    }

    Rows Select(const std::string& sql) const {
        db::Recordset rs = Query(sql);
        Rows rows;
        for (; !rs.Eof(); rs.MoveNext()) {
            rows.emplace_back();
            for (int32_t i = 0; i < rs.FieldCount(); ++i) rows.back().push_back(rs.Field(i).ToText());
        }
        return rows;
    }
    std::vector<std::string> LogLines() const { return ReadLines(Folder().file("import.log")); }
    bool Logged(const std::string& line) const { return std::ranges::count(LogLines(), line) > 0; }
    std::string Source() const { return Folder().file("contacts.csv"); }
    std::string BadFile() const { return Folder().file("contacts.bad"); }
    std::string LastPrompt() const { return ui->messages.empty() ? "" : ui->messages.back().prompt; }

    std::unique_ptr<ImportForm> form_;
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

// A user mapping; each rule rejects with its line and record number, the first
// failing rule winning; Age is the leading number rounded half to even.
TEST_P(ImportRunTest, RecordsAreReadThroughTheMappingAndValidatedRuleByRule) {
    const Choices choices{.map = {{0, "FirstName"},
                                  {1, "MobileNumber"},
                                  {2, "Sex"},
                                  {3, "Birthday"},
                                  {4, "Anniversary"},
                                  {5, "Age"},
                                  {6, "<ignore>"},
                                  {7, "City"}}};
    const auto counts = Import(
        "Ann,98100,F,31/02/2001,,,,\r\nAnn,98100,Male,soon,\r\nAnn,98100,F,,soon\r\n"
        "Ann,98100,Male,,\r\nAnn,98x00,F,,\r\nAnn,,F,,\r\n   ,98100,F,,\r\n"
        "A,1,m,2001-02-03,,24.5,x,Pune\r\nB,2,,,,25.5\r\nC,3,,,,1e3\r\nD,4,,,,24 years\r\n"
        "E,5,,,,n/a\r\n",
        choices);
    ASSERT_TRUE(counts);
    EXPECT_EQ(Tally(*counts), (Tallies{12, 5, 7, 0, 1}));
    std::vector<std::string> rejections;
    for (const auto& line : LogLines())
        if (line.starts_with("PelmarImpExp: Invalid") || line.starts_with("PelmarImpExp: Mobile No is"))
            rejections.push_back(line);
    const std::string rule4 = "PelmarImpExp: Mobile No is not numeric or Contact name is missing at record no ";
    EXPECT_EQ(rejections, (std::vector<std::string>{
                              "PelmarImpExp: Invalid date of birth.1", "PelmarImpExp: Invalid date of birth.2",
                              "PelmarImpExp: Invalid anniversory date.3", "PelmarImpExp: Invalid gender.4", rule4 + "5",
                              rule4 + "6", rule4 + "7"}));
    EXPECT_FALSE(std::filesystem::exists(BadFile()));
    EXPECT_EQ(Select("SELECT FNAME,MOBILENO,SEX,BIRTHDAY,AGE,CITY,MNAME FROM SMS_ABCONTACTS ORDER BY ID"),
              (Rows{{"A", "1", "M", "2001-02-03", "24", "Pune", ""},
                    {"B", "2", "", "", "26", "", ""},
                    {"C", "3", "", "", "1000", "", ""},
                    {"D", "4", "", "", "24", "", ""},
                    {"E", "5", "", "", "0", "", ""}}));
}

TEST_P(ImportRunTest, PrefixIsAddedByItsValueAndOnlyIfNotPresent) {
    const struct {
        const char* prefix;
        bool onlyIfNotPresent;
        Rows stored;  // for the numbers 9876 and 919876
    } cases[] = {
        {"91", false, {{"919876"}, {"91919876"}}},    {" 91 ", true, {{"919876"}, {"919876"}}},
        {"+91", false, {{"+919876"}, {"+91919876"}}}, {"0", false, {{"9876"}, {"919876"}}},
        {"00", true, {{"9876"}, {"919876"}}},         {"abc", false, {{"9876"}, {"919876"}}},
        {"", false, {{"9876"}, {"919876"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("prefix '") + c.prefix + "'");
        Exec({"DELETE FROM SMS_ABCONTACTS"});
        ASSERT_TRUE(
            Import("Ann,,,,,9876\r\nBob,,,,,919876\r\n", {.prefix = c.prefix, .onlyIfNotPresent = c.onlyIfNotPresent}));
        EXPECT_EQ(Select("SELECT MOBILENO FROM SMS_ABCONTACTS ORDER BY ID"), c.stored);
    }
}

// Failures inside the record loop (an Age beyond 32 bits, a value too long
// for its parameter): logged with the mobile number, the record written to the
// .bad file as it stood, with the source's delimiter, and the run going on.
TEST_P(ImportRunTest, FailedRecordGoesToTheBadFileAndTheRunGoesOn) {
    const std::string longMobile = "9810012345678901234567890123456789012345678901234";  // 51 with "91"
    const Choices choices{.delimiter = DelimiterSemicolon,
                          .prefix = "91",
                          .map = {{0, "FirstName"}, {1, "MobileNumber"}, {2, "Age"}, {3, "Hobby"}}};
    const auto counts = Import(
        "Ann;98100;3000000000;\r\nO'Hara;98100;;photography\r\nCy;" + longMobile + "\r\nBob;98101;7\r\n", choices);
    ASSERT_TRUE(counts);
    EXPECT_EQ(Tally(*counts), (Tallies{4, 1, 3, 0, 1}));
    const std::vector<std::string> bad = {"Ann;9198100", "O''Hara;9198100", "Cy;91" + longMobile};
    EXPECT_EQ(ReadLines(BadFile()), bad);
    std::vector<std::string> logged;
    for (const auto& line : LogLines())
        if (line.starts_with("PelmarImpExp: Mobile No: ")) {
            EXPECT_GT(line.size(), line.find(", ") + 2) << "the failure's description follows";
            logged.push_back(line.substr(0, line.find(", ") + 2));
        }
    EXPECT_EQ(logged,
              (std::vector<std::string>{"PelmarImpExp: Mobile No: 9198100, ", "PelmarImpExp: Mobile No: 9198100, ",
                                        "PelmarImpExp: Mobile No: 91" + longMobile + ", "}));
    EXPECT_EQ(Select("SELECT FNAME FROM SMS_ABCONTACTS"), (Rows{{"Bob"}}));
}

// A group id that matches no row fails the folder resolution: FOLDER_ID 0,
// the run going on and ending with errors.
TEST_P(ImportRunTest, DestinationDecidesOwnerFolderAndMembership) {
    const struct {
        const char* key;
        const char* owner;
        const char* folder;
        const char* group;  // "" for a folder destination
    } cases[] = {{"SFLD1", "0", "1", ""},
                 {"LFLD1", "2", "1", ""},
                 {"SHGR2", "0", "1", "2"},
                 {"LCGR2", "2", "1", "2"},
                 {"SHGR99", "0", "0", "99"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        Exec({"DELETE FROM SMS_ABCONTACTS", "DELETE FROM SMS_ABGROUPMAPS"});
        // The rejected middle record gets no membership row.
        const auto counts = Import("Ann,,,,,98100\r\nBad,,,,,x\r\nBob,,,,,98101\r\n", {.key = c.key});
        ASSERT_TRUE(counts);
        EXPECT_EQ(Tally(*counts), (Tallies{3, 2, 1, 0, 1}));
        EXPECT_EQ(Select("SELECT USER_ID,FOLDER_ID FROM SMS_ABCONTACTS ORDER BY ID"),
                  (Rows{{c.owner, c.folder}, {c.owner, c.folder}}));
        Rows members;
        if (*c.group)
            for (const auto& id : Select("SELECT ID FROM SMS_ABCONTACTS ORDER BY ID"))
                members.push_back({c.group, id[0]});
        EXPECT_EQ(Select("SELECT GROUP_ID,CONTACT_ID FROM SMS_ABGROUPMAPS ORDER BY CONTACT_ID"), members);
        EXPECT_FALSE(std::filesystem::exists(BadFile()));
    }
    EXPECT_EQ(LastPrompt(), kWithErrors);
}

TEST_P(ImportRunTest, TenRecordMixCountsSevenImportedThreeFailed) {
    const std::string longName = std::string(49, 'x') + "'";  // 51 characters once doubled
    std::string text;
    for (int i = 1; i <= 10; ++i) {
        // Appended, not prefixed: GCC 12 warns falsely on literal + string at -O2.
        const std::string first = std::string("P").append(std::to_string(i));
        const std::string last = i == 9 ? longName : "L";
        const std::string sex = i == 3 ? "Q" : "F";
        const std::string mobile = i == 6 ? "" : std::string("9810").append(std::to_string(i));
        text += first + ",," + last + ",,," + mobile + ",," + sex + "\r\n";
    }
    const auto counts = Import(text);
    ASSERT_TRUE(counts);
    EXPECT_EQ(Tally(*counts), (Tallies{10, 7, 3, 0, 1}));
    EXPECT_EQ(ReadLines(BadFile()), std::vector<std::string>{"P9,98109"});
    EXPECT_EQ(Select("SELECT COUNT(*) FROM SMS_ABCONTACTS"), (Rows{{"7"}}));
    for (const char* line :
         {"PelmarImpExp: Invalid gender.3", "PelmarImpExp: Successfully imported : 7", "PelmarImpExp: Failed : 3"})
        EXPECT_TRUE(Logged(line)) << line;
    EXPECT_EQ(LastPrompt(), kWithErrors);
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
        EXPECT_EQ(LastPrompt(), c.message);
        EXPECT_EQ(LogLines().size(), logLinesBeforeFinish_);
        EXPECT_EQ(form_->controls.txtLocation, Source());
    }
    // The one-column list still got the default mapping.
    EXPECT_EQ(Session().ColumnMap[6].FieldName, "MobileNumber");
}

TEST_P(ImportRunTest, NameColumnsAreNarrowOnlyForMySql) {
    const struct {
        const char* databaseType;
        const char* nameType;
    } cases[] = {{"MySQL", ":N"}, {"mysql", ":N"}, {"PostgreSQL", ":W"}, {"", ":W"}, {"MySQL 8", ":W"}};
    db::Connection connection;
    connection.Open(ConnectionString());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.databaseType);
        auto logger = std::make_shared<TypedLogger>(c.databaseType);
        Session().Logger = logger;
        db::Command command;
        PrepareContactInsert(command, connection, [&] { return logger->DatabaseType(); });
        EXPECT_EQ(logger->asked, 7);  // once for each name-like column
        EXPECT_TRUE(command.Prepared);
        std::string layout;
        for (const db::Parameter& p : command.Parameters())
            layout += p.Name +
                      (p.Type == db::adInteger   ? ":I"
                       : p.Type == db::adVarChar ? ":N"
                                                 : ":W") +
                      std::to_string(p.Size) + " ";
        EXPECT_EQ(layout, ReplaceAll("USER_ID:I0 FNAME:T50 MNAME:T50 LNAME:T50 MOBILENO:N50 EMAIL:N50 ADDRESS:T50 "
                                     "ORGANISATION:T50 FOLDER_ID:I0 SEX:N1 COUNTRYCODE:N10 AGE:I0 CITY:N100 "
                                     "STATE:T100 COUNTRY:T100 ZIP:N20 HOMEPHONE:N20 OFFICEPHONE:N20 FAX:N20 "
                                     "BIRTHDAY:N10 ANNIVERSARY:N10 HOBBY:N10 ",
                                     ":T", c.nameType));
    }
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ImportRunTest);

}  // namespace
}  // namespace pelmar
