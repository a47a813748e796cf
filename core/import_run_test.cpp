// The import run from its job: records listed from a file, a mapping, a
// destination and a prefix, into the address book of every back end, with
// what it reports.
#include "core/import_run.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "common/text.h"
#include "core/listing.h"
#include "testing/db_backends.h"
#include "testing/recording_observer.h"

namespace pelmar {
namespace {

using test::Rows;

struct Choices {
    char32_t delimiter = U',';
    std::string prefix = {};
    bool onlyIfNotPresent = false;
    std::vector<std::pair<int, std::string>> map = {};  // 0-based source position, field ("" of all: default)
    Destination destination = {LocalFolder, 0};
    int32_t commitEvery = 0;
    NameText nameText = NameText::Wide;
    DuplicatePolicy duplicates = DuplicatePolicy::Insert;
};

// Total, imported, failed, skipped, and 1 when the run had errors.
std::vector<int32_t> Tally(const ImportRunCounts& c) {
    return {c.TotalRecords, c.ImportedCount, c.FailedCount, c.SkippedCount, c.HadErrors};
}
using Tallies = std::vector<int32_t>;

const char* const kWithErrors = "Contacts import has completed with errors.\r\nPlease view Import Log for deatils.";

class ImportRunTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Exec({"INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (1,'Customers',0,0)",
              "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (2,'Key Accounts',1,0)"});
    }

    // Lists `text` from a file, then runs the import for user 2.
    std::optional<ImportRunCounts> Import(const std::string& text, const Choices& choices = {}) {
        const std::string source = Folder().file("contacts.csv");
        test::WriteFile(source, text);
        observer_ = test::RecordingRunObserver{};
        ListSource({.sourceFile = source, .delimiter = choices.delimiter, .startRow = 1, .sourceLineCount = 1000},
                   records_, static_cast<ImportObserver&>(observer_));
        ColumnMapping mapping;
        for (const auto& [position, name] : choices.map)
            if (const auto field = FieldNamed(name)) mapping.Map(*field, static_cast<int16_t>(position));
        const ImportJob job{.records = &records_,
                            .mapping = mapping,
                            .destination = choices.destination,
                            .userId = 2,
                            .prefix = {Trim(choices.prefix), choices.onlyIfNotPresent},
                            .delimiter = choices.delimiter,
                            .nameText = choices.nameText,
                            .options = {.commitEvery = choices.commitEvery, .duplicates = choices.duplicates}};
        result_ = RunImport(job, &Book(), observer_);
        if (!result_.Started) return std::nullopt;
        return result_.Counts;
    }

    // The log lines that start with one of `starts`.
    std::vector<std::string> LogLines(std::initializer_list<std::string_view> starts) const {
        std::vector<std::string> lines;
        for (const std::string& line : observer_.log)
            if (std::ranges::any_of(starts, [&](std::string_view s) { return line.starts_with(s); }))
                lines.push_back(line);
        return lines;
    }

    RecordStore records_;
    test::RecordingRunObserver observer_;
    ImportResult result_;  // of the last run
};

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
    const std::string rule4 = "PelmarImpExp: Mobile No is not numeric or Contact name is missing at record no ";
    EXPECT_EQ(LogLines({"PelmarImpExp: Invalid", "PelmarImpExp: Mobile No is", "PelmarImpExp: Successfully",
                        "PelmarImpExp: Failed"}),
              (std::vector<std::string>{
                  "PelmarImpExp: Invalid date of birth.1", "PelmarImpExp: Invalid date of birth.2",
                  "PelmarImpExp: Invalid anniversory date.3", "PelmarImpExp: Invalid gender.4", rule4 + "5",
                  rule4 + "6", rule4 + "7", "PelmarImpExp: Successfully imported : 5", "PelmarImpExp: Failed : 7"}));
    EXPECT_TRUE(observer_.bad.empty());
    EXPECT_EQ(observer_.messages, std::vector<std::string>{kWithErrors});
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

// Failures inside the record loop (an Age beyond 32 bits, a name too long once
// its apostrophe is doubled, a value too long for its parameter): logged with
// the mobile number, the record written to the .bad file as it stood, with the
// source's delimiter, and the run going on.
TEST_P(ImportRunTest, FailedRecordGoesToTheBadFileAndTheRunGoesOn) {
    const std::string longMobile = "9810012345678901234567890123456789012345678901234";  // 51 with "91"
    const std::string longName = std::string(49, 'x') + "'";                             // 51 once doubled
    const Choices choices{
        .delimiter = U';', .prefix = "91", .map = {{0, "FirstName"}, {1, "MobileNumber"}, {2, "Age"}, {3, "Hobby"}}};
    const auto counts = Import("Ann;98100;3000000000;\r\n" + longName + ";98100;;\r\nO'Hara;98100;;photography\r\nCy;" +
                                   longMobile + "\r\nBob;98101;7\r\n",
                               choices);
    ASSERT_TRUE(counts);
    EXPECT_EQ(Tally(*counts), (Tallies{5, 1, 4, 0, 1}));
    EXPECT_EQ(observer_.bad, (std::vector<std::string>{"Ann;9198100", std::string(49, 'x') + "'';9198100",
                                                       "O''Hara;9198100", "Cy;91" + longMobile}));
    std::vector<std::string> logged;
    for (const auto& line : LogLines({"PelmarImpExp: Mobile No: "})) {
        EXPECT_GT(line.size(), line.find(", ") + 2) << "the failure's description follows";
        logged.push_back(line.substr(0, line.find(", ") + 2));
    }
    const std::string mobile = "PelmarImpExp: Mobile No: 9198100, ";
    EXPECT_EQ(logged,
              (std::vector<std::string>{mobile, mobile, mobile, "PelmarImpExp: Mobile No: 91" + longMobile + ", "}));
    EXPECT_EQ(Select("SELECT FNAME FROM SMS_ABCONTACTS"), (Rows{{"Bob"}}));
}

// A group id that matches no row fails the folder resolution: FOLDER_ID 0,
// the run going on and ending with errors.
TEST_P(ImportRunTest, DestinationDecidesOwnerFolderAndMembership) {
    const struct {
        Destination destination;
        const char* owner;
        const char* folder;
        const char* group;  // "" for a folder destination
    } cases[] = {{{SharedFolder, 1}, "0", "1", ""},
                 {{LocalFolder, 1}, "2", "1", ""},
                 {{SharedGroup, 2}, "0", "1", "2"},
                 {{LocalGroup, 2}, "2", "1", "2"},
                 {{SharedGroup, 99}, "0", "0", "99"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destination.kind * 100 + c.destination.id.value_or(0));
        Exec({"DELETE FROM SMS_ABCONTACTS", "DELETE FROM SMS_ABGROUPMAPS"});
        // The rejected middle record gets no membership row.
        const auto counts = Import("Ann,,,,,98100\r\nBad,,,,,x\r\nBob,,,,,98101\r\n", {.destination = c.destination});
        ASSERT_TRUE(counts);
        EXPECT_EQ(Tally(*counts), (Tallies{3, 2, 1, 0, 1}));
        EXPECT_EQ(Select("SELECT USER_ID,FOLDER_ID FROM SMS_ABCONTACTS ORDER BY ID"),
                  (Rows{{c.owner, c.folder}, {c.owner, c.folder}}));
        Rows members;
        if (*c.group)
            for (const auto& id : Select("SELECT ID FROM SMS_ABCONTACTS ORDER BY ID"))
                members.push_back({c.group, id[0]});
        EXPECT_EQ(Select("SELECT GROUP_ID,CONTACT_ID FROM SMS_ABGROUPMAPS ORDER BY CONTACT_ID"), members);
        EXPECT_TRUE(observer_.bad.empty());
    }
}

// Names in any script come back as they went in, whichever text type the
// name-like columns are sent as, on every back end.
TEST_P(ImportRunTest, NonAsciiNamesRoundTripAsNarrowOrWideText) {
    const Rows stored = {{"Zo\u00eb", "M\u00fcller", "\u00c6r\u00f8sk\u00f8bing 7", "\u6771\u4eac\u5546\u4f1a",
                          "\u0141\u00f3d\u017a", "\u0395\u03bb\u03bb\u03ac\u03b4\u03b1", "S\u00e3o Paulo"}};
    std::string line;
    for (const std::string& value : stored[0]) line += value + ";";
    const Choices choices{.delimiter = U';',
                          .map = {{0, "FirstName"},
                                  {1, "LastName"},
                                  {2, "Address"},
                                  {3, "Organisation"},
                                  {4, "State"},
                                  {5, "Country"},
                                  {6, "City"},
                                  {7, "MobileNumber"}}};
    for (const NameText nameText : {NameText::Wide, NameText::Narrow}) {
        SCOPED_TRACE(nameText == NameText::Wide ? "wide" : "narrow");
        Exec({"DELETE FROM SMS_ABCONTACTS"});
        Choices asText = choices;
        asText.nameText = nameText;
        const auto counts = Import(line + "98100\r\n", asText);
        ASSERT_TRUE(counts);
        EXPECT_EQ(Tally(*counts), (Tallies{1, 1, 0, 0, 0}));
        EXPECT_EQ(Select("SELECT FNAME,LNAME,ADDRESS,ORGANISATION,STATE,COUNTRY,CITY FROM SMS_ABCONTACTS"), stored);
    }
}

// Batches change when rows are committed, nothing else. Records 7, 14 and 21
// fail before their insert, 11 and 16 in the database: by the batch sizes, a
// batch's first, last, middle or second failing record.
TEST_P(ImportRunTest, BatchedRunLogsCountsAndStoresExactlyAsThePerRecordRun) {
    Exec({"CREATE UNIQUE INDEX TEST_UNIQUE_MOBILENO ON SMS_ABCONTACTS (MOBILENO)"});
    std::string text;
    for (int i = 1; i <= 23; ++i) {
        const std::string age = i % 7 == 0 ? "3000000000" : std::to_string(i);  // fails at its insert
        const std::string sex = i % 5 == 0 ? "Q" : "F";                         // rejected by a rule
        const std::string email = i % 3 == 0 ? "nobody" : "";                   // logged when stored
        const int number = i == 11 ? 2 : i == 16 ? 3 : i;                       // 11 and 16 are there already
        text +=
            "N" + std::to_string(i) + ",981" + std::to_string(number) + "," + sex + "," + age + "," + email + "\r\n";
    }
    const auto masked = [](std::vector<std::string> lines) {
        for (auto& line : lines)
            if (line.find(" at ") != std::string::npos && line.find("Contacts import") != std::string::npos)
                line = line.substr(0, line.find(" at "));
        return lines;
    };
    for (const Destination destination : {Destination{LocalFolder, 0}, Destination{SharedGroup, 2}}) {
        SCOPED_TRACE(destination.kind);
        std::vector<std::string> log, rejected;
        Rows stored;
        for (const int32_t commitEvery : {0, 1, 4, 6, 7, 1000}) {
            SCOPED_TRACE(commitEvery);
            Exec({"DELETE FROM SMS_ABGROUPMAPS", "DELETE FROM SMS_ABCONTACTS"});
            const auto counts =
                Import(text, {.map = {{0, "FirstName"}, {1, "MobileNumber"}, {2, "Sex"}, {3, "Age"}, {4, "Email"}},
                              .destination = destination,
                              .commitEvery = commitEvery});
            ASSERT_TRUE(counts);
            EXPECT_EQ(Tally(*counts), (Tallies{23, 14, 9, 0, 1}));
            EXPECT_EQ(result_.CommittedCount, 14);
            const Rows rows = Select("SELECT FNAME,MOBILENO,SEX,AGE FROM SMS_ABCONTACTS ORDER BY FNAME");
            if (commitEvery == 0) {
                log = masked(observer_.log), rejected = observer_.bad, stored = rows;
                continue;
            }
            EXPECT_EQ(masked(observer_.log), log);
            EXPECT_EQ(observer_.bad, rejected);
            EXPECT_EQ(rows, stored);
            const std::string members = destination.kind == SharedGroup ? "14" : "0";
            EXPECT_EQ(Select("SELECT COUNT(*) FROM SMS_ABGROUPMAPS"), (Rows{{members}}));
        }
    }
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ImportRunTest);

}  // namespace
}  // namespace pelmar
