// The import run end to end: a source file through the wizard's Next and
// Finish into the address book of every back end.
#include "import/import_run.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

#include "common/text.h"
#include "common/ui.h"
#include "component/manager.h"
#include "component/session_state.h"
#include "component/window_host.h"
#include "db/command.h"
#include "db/connection.h"
#include "db/recordset.h"
#include "import/import_wizard.h"
#include "import/source_check.h"
#include "mapping/mapping_grid.h"
#include "picker/picker_dialog.h"
#include "testing/db_backends.h"

namespace pelmar {
namespace {

using Rows = std::vector<std::vector<std::string>>;

struct Choices {
    int32_t delimiter = DelimiterComma;
    std::string prefix = {};
    bool onlyIfNotPresent = false;
    std::vector<std::pair<int, std::string>> map = {};  // 0-based source position, field
    std::string key = {};                               // picker key; "" keeps the default
};

// A logger that names the database type the test asks for and counts the asks.
class TypedLogger : public EventLogger {
public:
    explicit TypedLogger(std::string type) : type_(std::move(type)) {}
    std::string DatabaseType() const override {
        ++asked;
        return type_;
    }
    mutable int asked = 0;

private:
    std::string type_;
};

class ImportRunTest : public testing::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Session() = SessionState{};
        SetWindowHost(nullptr);
        SetUserInterface(ui_);
        Manager().Init(ConnectionString(), ConnectionString(), RuntAtClient, Folder().file("import.log"));
        ASSERT_TRUE(Session().InitDone);
        Session().UserID = 2;
        Exec("INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (1,'Customers',0,0)");
        Exec("INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (2,'Key Accounts',1,0)");
    }
    void TearDown() override { SetUserInterface(nullptr); }

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
        testing::WriteFile(Source(), text);
        form_->controls.txtLocation = Source();
        EXPECT_TRUE(ValidateFile(*form_, Source()));
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
        ui_->messages.clear();
        std::optional<ImportRunCounts> counts = wizard.Finish();
        wizard.Unload();
        return counts;
    }

    void Exec(const std::string& sql) {
        db::Connection connection;
        connection.Open(ConnectionString());
        db::Command command;
        command.SetActiveConnection(connection);
        command.CommandText = sql;
        command.Execute({}, db::adExecuteNoRecords);
    }

    Rows Query(const std::string& sql) {
        db::Connection connection;
        connection.Open(ConnectionString());
        db::Recordset rs;
        rs.Open(sql, connection);
        Rows rows;
        for (; !rs.Eof(); rs.MoveNext()) {
            rows.emplace_back();
            for (int32_t i = 0; i < rs.FieldCount(); ++i) rows.back().push_back(rs.Field(i).ToText());
        }
        return rows;
    }

    std::vector<std::string> Lines(const std::string& path) {
        std::vector<std::string> lines;
        std::istringstream in(testing::ReadFile(path));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::vector<std::string> LogLines() { return Lines(Folder().file("import.log")); }
    bool Logged(const std::string& line) {
        const auto lines = LogLines();
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    std::string Source() const { return Folder().file("contacts.csv"); }
    std::string BadFile() const { return Folder().file("contacts.bad"); }
    std::string LastPrompt() const { return ui_->messages.empty() ? "" : ui_->messages.back().prompt; }

    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
    std::unique_ptr<ImportForm> form_;
};

TEST_P(ImportRunTest, DefaultMappingStoresEightColumnsAndSummarises) {
    const auto counts = Import(
        "Asha,B,Verma,asha@example.com,12 Park St,9810012345,Kestrel,f\r\n"
        "Sean,,O'Neil,o'neil@example.com,7 Harbour,9830034567,Bluefin,M\r\n"
        "Li,,Wei,,18 River,9870078901,,\r\n");
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->ImportedCount, 3);
    EXPECT_FALSE(counts->HadErrors);
    EXPECT_EQ(Query("SELECT FNAME,MNAME,LNAME,EMAIL,ADDRESS,MOBILENO,ORGANISATION,SEX,USER_ID,FOLDER_ID,AGE "
                    "FROM SMS_ABCONTACTS ORDER BY ID"),
              (Rows{{"Asha", "B", "Verma", "asha@example.com", "12 Park St", "9810012345", "Kestrel", "F", "2", "0", "0"},
                    {"Sean", "", "O''Neil", "o'neil@example.com", "7 Harbour", "9830034567", "Bluefin", "M", "2", "0", "0"},
                    {"Li", "", "Wei", "", "18 River", "9870078901", "", "", "2", "0", "0"}}));
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SMS_ABCONTACTS WHERE BIRTHDAY IS NULL AND ANNIVERSARY IS NULL"),
              (Rows{{"3"}}));

    const auto lines = LogLines();
    const std::vector<std::string> summary(lines.end() - 8, lines.end());
    EXPECT_EQ(summary[0], "PelmarImpExp: Total no of records : 3");
    EXPECT_EQ(summary[1], "PelmarImpExp: Successfully imported : 3");
    EXPECT_EQ(summary[2], "PelmarImpExp: Failed : 0");
    EXPECT_EQ(summary[3], "PelmarImpExp: Skipped : 0");
    EXPECT_EQ(summary[4], "");
    EXPECT_EQ(summary[5], std::string(50, '='));
    EXPECT_EQ(summary[6].rfind("PelmarImpExp: Contacts import completed at ", 0), 0u);
    EXPECT_EQ(summary[7], "");
    EXPECT_EQ(LastPrompt(), "Contacts import completed successfully.\r\nPlease view Import Log for details.");
    EXPECT_EQ(ui_->messages.back().style, msgbox::Exclamation);
    EXPECT_FALSE(std::filesystem::exists(BadFile()));
}

TEST_P(ImportRunTest, LeavesTheWizardReadyOnlyToClose) {
    ASSERT_TRUE(Import("Asha,,Verma,,,9810012345\r\nRavi,,Rao,,,9810012346\r\n"));
    const ImportControls& c = form_->controls;
    EXPECT_FALSE(c.ProgressBar1.Visible());
    EXPECT_EQ(c.ProgressBar1.Value(), 2);
    EXPECT_EQ(c.txtLocation, "");
    EXPECT_TRUE(c.cmdCloseEnabled);
    EXPECT_EQ(c.ActiveControl, "cmdClose");
    EXPECT_FALSE(c.cmdFinishEnabled || c.cmdPrevEnabled || c.cmdMappingEnabled);
}

TEST_P(ImportRunTest, UserMappingPicksTheMappedColumns) {
    Choices choices;
    choices.map = {{0, "MobileNumber"}, {1, "<ignore>"}, {2, "FirstName"}, {3, "City"}, {4, "Age"}};
    ASSERT_TRUE(Import("9810012345,x,Asha,Pune,31\r\n", choices));
    EXPECT_EQ(Query("SELECT FNAME,MOBILENO,CITY,AGE,MNAME FROM SMS_ABCONTACTS"),
              (Rows{{"Asha", "9810012345", "Pune", "31", ""}}));
}

// FirstName, MobileNumber, Sex, Birthday, Anniversary.
TEST_P(ImportRunTest, EachRuleRejectsWithItsLineAndTheFirstRuleWins) {
    const Choices choices{.map = {{0, "FirstName"}, {1, "MobileNumber"}, {2, "Sex"}, {3, "Birthday"}, {4, "Anniversary"}}};
    const struct {
        const char* line;
        const char* logLine;  // "" when accepted
    } cases[] = {
        {"Ann,98100,F,31/02/2001,", "PelmarImpExp: Invalid date of birth.1"},
        {"Ann,98100,Male,soon,", "PelmarImpExp: Invalid date of birth.1"},
        {"Ann,98100,F,,soon", "PelmarImpExp: Invalid anniversory date.1"},
        {"Ann,98100,Male,,", "PelmarImpExp: Invalid gender.1"},
        {"Ann,98x00,F,,", "PelmarImpExp: Mobile No is not numeric or Contact name is missing at record no 1"},
        {"Ann,,F,,", "PelmarImpExp: Mobile No is not numeric or Contact name is missing at record no 1"},
        {"   ,98100,F,,", "PelmarImpExp: Mobile No is not numeric or Contact name is missing at record no 1"},
        {"Ann,98100,m,2001-02-03,", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        Exec("DELETE FROM SMS_ABCONTACTS");
        const auto counts = Import(std::string(c.line) + "\r\n", choices);
        ASSERT_TRUE(counts);
        const bool rejected = *c.logLine != '\0';
        EXPECT_EQ(counts->FailedCount, rejected ? 1 : 0);
        EXPECT_EQ(counts->ImportedCount, rejected ? 0 : 1);
        EXPECT_EQ(counts->HadErrors, rejected);
        if (rejected) {
            EXPECT_TRUE(Logged(c.logLine));
        }
        const Rows stored = rejected ? Rows{} : Rows{{"M", "2001-02-03"}};
        EXPECT_EQ(Query("SELECT SEX,BIRTHDAY FROM SMS_ABCONTACTS"), stored);
    }
    EXPECT_FALSE(std::filesystem::exists(BadFile()));
}

TEST_P(ImportRunTest, InvalidEmailIsStoredEmptyWithAWarningOnly) {
    const auto counts = Import("Ann,,Lee,ann@example,,98100\r\nBob,,Ray,  ,,98101\r\n");
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->ImportedCount, 2);
    EXPECT_FALSE(counts->HadErrors);
    EXPECT_EQ(Query("SELECT EMAIL FROM SMS_ABCONTACTS ORDER BY ID"), (Rows{{""}, {""}}));
    EXPECT_TRUE(Logged("PelmarImpExp: Email id is not valid at record no 1"));
    EXPECT_FALSE(Logged("PelmarImpExp: Email id is not valid at record no 2"));  // blanks only: no address
    EXPECT_EQ(LastPrompt(), "Contacts import completed successfully.\r\nPlease view Import Log for details.");
}

TEST_P(ImportRunTest, PrefixIsAddedByItsValueAndOnlyIfNotPresent) {
    const struct {
        const char* prefix;
        bool onlyIfNotPresent;
        Rows stored;  // for the numbers 9876 and 919876
    } cases[] = {
        {"91", false, {{"919876"}, {"91919876"}}},
        {" 91 ", true, {{"919876"}, {"919876"}}},
        {"+91", false, {{"+919876"}, {"+91919876"}}},
        {"0", false, {{"9876"}, {"919876"}}},
        {"00", true, {{"9876"}, {"919876"}}},
        {"abc", false, {{"9876"}, {"919876"}}},
        {"", false, {{"9876"}, {"919876"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("prefix '") + c.prefix + "'");
        Exec("DELETE FROM SMS_ABCONTACTS");
        Choices choices;
        choices.prefix = c.prefix;
        choices.onlyIfNotPresent = c.onlyIfNotPresent;
        ASSERT_TRUE(Import("Ann,,,,,9876\r\nBob,,,,,919876\r\n", choices));
        EXPECT_EQ(Query("SELECT MOBILENO FROM SMS_ABCONTACTS ORDER BY ID"), c.stored);
    }
}

TEST_P(ImportRunTest, AgeIsTheLeadingNumberRoundedHalfToEven) {
    Choices choices;
    choices.map = {{0, "FirstName"}, {1, "MobileNumber"}, {2, "Age"}};
    ASSERT_TRUE(Import("A,1,24.5\r\nB,2,25.5\r\nC,3,1e3\r\nD,4,24 years\r\nE,5,n/a\r\n", choices));
    EXPECT_EQ(Query("SELECT AGE FROM SMS_ABCONTACTS ORDER BY ID"),
              (Rows{{"24"}, {"26"}, {"1000"}, {"24"}, {"0"}}));
}

// Failures inside the record loop: logged with the mobile number, the record
// written to the .bad file as it stood, and the run going on.
TEST_P(ImportRunTest, FailedRecordGoesToTheBadFileAndTheRunGoesOn) {
    const struct {
        const char* name;
        const char* line;
        Choices choices;
        const char* badLine;
    } cases[] = {
        // Semicolon-delimited, so the .bad line shows the source's delimiter.
        {"age beyond 32 bits", "Ann;98100;3000000000",
         {.delimiter = DelimiterSemicolon, .prefix = "91", .map = {{0, "FirstName"}, {1, "MobileNumber"}, {2, "Age"}}},
         "Ann;9198100"},
        {"hobby too long", "O'Hara;98100;photography",
         {.delimiter = DelimiterSemicolon, .map = {{0, "FirstName"}, {1, "MobileNumber"}, {2, "Hobby"}}},
         "O''Hara;98100"},
        {"mobile too long with its prefix", "Ann;9810012345678901234567890123456789012345678901234;x",
         {.delimiter = DelimiterSemicolon, .prefix = "91", .map = {{0, "FirstName"}, {1, "MobileNumber"}}},
         "Ann;919810012345678901234567890123456789012345678901234"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Exec("DELETE FROM SMS_ABCONTACTS");
        std::filesystem::remove(BadFile());
        const auto counts = Import(std::string(c.line) + "\r\nBob;98101;7\r\n", c.choices);
        ASSERT_TRUE(counts);
        EXPECT_EQ(counts->ImportedCount, 1);
        EXPECT_EQ(counts->FailedCount, 1);
        EXPECT_TRUE(counts->HadErrors);
        EXPECT_EQ(Lines(BadFile()), std::vector<std::string>{c.badLine});
        const auto lines = LogLines();
        const std::string mobile = std::string(c.badLine).substr(std::string(c.badLine).find(';') + 1);
        EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const std::string& l) {
            return l.rfind("PelmarImpExp: Mobile No: " + mobile + ", ", 0) == 0 &&
                   l.size() > ("PelmarImpExp: Mobile No: " + mobile + ", ").size();
        }));
        EXPECT_EQ(Query("SELECT FNAME FROM SMS_ABCONTACTS"), (Rows{{"Bob"}}));
    }
}

TEST_P(ImportRunTest, DestinationDecidesOwnerFolderAndMembership) {
    const struct {
        const char* key;
        Rows contacts;  // USER_ID, FOLDER_ID
        Rows members;   // GROUP_ID, CONTACT_ID
    } cases[] = {
        {"SFLD1", {{"0", "1"}, {"0", "1"}}, {}},
        {"LFLD1", {{"2", "1"}, {"2", "1"}}, {}},
        {"SHGR2", {{"0", "1"}, {"0", "1"}}, {{"2", "C1"}, {"2", "C2"}}},
        {"LCGR2", {{"2", "1"}, {"2", "1"}}, {{"2", "C1"}, {"2", "C2"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        Exec("DELETE FROM SMS_ABCONTACTS");
        Exec("DELETE FROM SMS_ABGROUPMAPS");
        Choices choices;
        choices.key = c.key;
        // The rejected middle record gets no membership row.
        const auto counts = Import("Ann,,,,,98100\r\nBad,,,,,x\r\nBob,,,,,98101\r\n", choices);
        ASSERT_TRUE(counts);
        EXPECT_EQ(counts->ImportedCount, 2);
        EXPECT_EQ(Query("SELECT USER_ID,FOLDER_ID FROM SMS_ABCONTACTS ORDER BY ID"), c.contacts);
        const Rows ids = Query("SELECT ID FROM SMS_ABCONTACTS ORDER BY ID");
        Rows expected = c.members;
        for (auto& row : expected) row[1] = ids[row[1] == "C1" ? 0 : 1][0];
        EXPECT_EQ(Query("SELECT GROUP_ID,CONTACT_ID FROM SMS_ABGROUPMAPS ORDER BY CONTACT_ID"), expected);
    }
}

TEST_P(ImportRunTest, UnknownGroupLeavesFolderZeroAndStillImports) {
    Choices choices;
    choices.key = "SHGR99";
    const auto counts = Import("Ann,,,,,98100\r\nBob,,,,,98101\r\n", choices);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->ImportedCount, 2);
    EXPECT_EQ(counts->FailedCount, 0);
    EXPECT_TRUE(counts->HadErrors);
    EXPECT_EQ(Query("SELECT FOLDER_ID FROM SMS_ABCONTACTS"), (Rows{{"0"}, {"0"}}));
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SMS_ABGROUPMAPS WHERE GROUP_ID = 99"), (Rows{{"2"}}));
    EXPECT_FALSE(std::filesystem::exists(BadFile()));
    EXPECT_EQ(LastPrompt(), "Contacts import has completed with errors.\r\nPlease view Import Log for deatils.");
}

TEST_P(ImportRunTest, TenRecordMixCountsSevenImportedThreeFailed) {
    const std::string longName = std::string(49, 'x') + "'";  // 51 characters once doubled
    std::string text;
    for (int i = 1; i <= 10; ++i) {
        const std::string first = "P" + std::to_string(i);
        const std::string last = i == 9 ? longName : "L";
        const std::string sex = i == 3 ? "Q" : "F";
        const std::string mobile = i == 6 ? "" : "9810" + std::to_string(i);
        text += first + ",," + last + ",,," + mobile + ",," + sex + "\r\n";
    }
    const auto counts = Import(text);
    ASSERT_TRUE(counts);
    EXPECT_EQ(counts->TotalRecords, 10);
    EXPECT_EQ(counts->ImportedCount, 7);
    EXPECT_EQ(counts->FailedCount, 3);
    EXPECT_EQ(counts->SkippedCount, 0);
    EXPECT_EQ(Lines(BadFile()), std::vector<std::string>{"P9,98109"});
    EXPECT_EQ(Query("SELECT COUNT(*) FROM SMS_ABCONTACTS"), (Rows{{"7"}}));
    EXPECT_TRUE(Logged("PelmarImpExp: Invalid gender.3"));
    EXPECT_TRUE(Logged("PelmarImpExp: Successfully imported : 7"));
    EXPECT_TRUE(Logged("PelmarImpExp: Failed : 3"));
    EXPECT_EQ(LastPrompt(), "Contacts import has completed with errors.\r\nPlease view Import Log for deatils.");
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
        ImportForm form;
        ImportWizard wizard(form);
        wizard.Load();
        testing::WriteFile(Source(), c.text);
        form.controls.txtLocation = Source();
        ASSERT_TRUE(ValidateFile(form, Source()));
        form.controls.txtStartFromRow = c.startRow;
        ASSERT_TRUE(wizard.Next());
        const auto before = LogLines().size();
        ui_->messages.clear();
        EXPECT_FALSE(wizard.Finish());
        wizard.Unload();
        EXPECT_EQ(LastPrompt(), c.message);
        EXPECT_EQ(LogLines().size(), before);
        EXPECT_EQ(form.controls.txtLocation, Source());
    }
    // The one-column list still got the default mapping.
    EXPECT_EQ(Session().ColumnMap[6].FieldName, "MobileNumber");
}

TEST_P(ImportRunTest, NameColumnsAreNarrowOnlyForMySql) {
    const struct {
        const char* databaseType;
        db::DataType nameType;
    } cases[] = {{"MySQL", db::adVarChar}, {"mysql", db::adVarChar}, {"PostgreSQL", db::adVarWChar},
                 {"", db::adVarWChar}, {"MySQL 8", db::adVarWChar}};
    db::Connection connection;
    connection.Open(ConnectionString());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.databaseType);
        auto logger = std::make_shared<TypedLogger>(c.databaseType);
        Session().Logger = logger;
        db::Command command;
        PrepareContactInsert(command, connection);
        EXPECT_EQ(logger->asked, 7);
        EXPECT_EQ(command.CommandText, kContactInsertSql);
        EXPECT_TRUE(command.Prepared);
        std::string layout;
        for (const db::Parameter& p : command.Parameters()) {
            const char* type = p.Type == db::adInteger ? "I" : p.Type == db::adVarChar ? "N" : "W";
            layout += p.Name + ":" + type + std::to_string(p.Size) + " ";
        }
        const std::string expected =
            "USER_ID:I0 FNAME:T50 MNAME:T50 LNAME:T50 MOBILENO:N50 EMAIL:N50 ADDRESS:T50 ORGANISATION:T50 "
            "FOLDER_ID:I0 SEX:N1 COUNTRYCODE:N10 AGE:I0 CITY:N100 STATE:T100 COUNTRY:T100 ZIP:N20 "
            "HOMEPHONE:N20 OFFICEPHONE:N20 FAX:N20 BIRTHDAY:N10 ANNIVERSARY:N10 HOBBY:N10 ";
        EXPECT_EQ(layout, ReplaceAll(expected, ":T", c.nameType == db::adVarChar ? ":N" : ":W"));
    }
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ImportRunTest);

}  // namespace
}  // namespace pelmar
