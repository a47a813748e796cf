// The import run from its job: records listed from a file, a mapping, a
// destination and a prefix, into the address book of every back end, with
// what it reports; and files in the shapes other programs write, mapped by
// their header and normalised.
#include "core/import_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "common/text.h"
#include "core/csv_listing.h"
#include "core/export_run.h"
#include "core/header_mapping.h"
#include "core/listing.h"
#include "core/phone_counts.h"
#include "core/rejects_file.h"
#include "db/command.h"
#include "testing/db_backends.h"
#include "testing/recording_observer.h"

namespace pelmar {
namespace {

using test::Rows;

struct Choices {
    char32_t delimiter = U',';
    std::string prefix = {};
    bool onlyIfNotPresent = false;
    std::vector<std::string> map = {};  // the field of each source position (none: the default mapping)
    Destination destination = {LocalFolder, 0};
    int32_t commitEvery = 0;
    NameText nameText = NameText::Wide;
    DuplicatePolicy duplicates = DuplicatePolicy::Insert;
};

using Tallies = std::vector<int32_t>;

// "line field: reason" of each problem.
std::vector<std::string> Problems(const ImportResult& result) {
    std::vector<std::string> out;
    for (const RecordProblem& p : result.Problems)
        out.push_back(std::to_string(p.line) + " " + p.field + (p.field.empty() ? "" : " \"" + p.value + "\"") + ": " +
                      p.reason);
    return out;
}

const char* const kWithErrors = "Contacts import has completed with errors.\r\nPlease view Import Log for deatils.";

class ImportRunTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Exec({"INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (1,'Customers',0,0)",
              "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (2,'Key Accounts',1,0)"});
    }

    // Lists `text` from a file, then runs the import for user 2. Returns the
    // total, imported, failed and skipped counts, and 1 when the run had
    // errors; nothing when it did not start.
    Tallies Import(const std::string& text, const Choices& choices = {}) {
        const std::string source = Folder().file("contacts.csv");
        test::WriteFile(source, text);
        observer_ = test::RecordingRunObserver{};
        ListSource({.sourceFile = source, .delimiter = choices.delimiter, .startRow = 1, .sourceLineCount = 1000},
                   records_, static_cast<ImportObserver&>(observer_));
        ColumnMapping mapping;
        for (std::size_t position = 0; position < choices.map.size(); ++position)
            if (const auto field = FieldNamed(choices.map[position]))
                mapping.Map(*field, static_cast<int16_t>(position));
        const ImportJob job{.records = &records_,
                            .mapping = mapping,
                            .destination = choices.destination,
                            .userId = 2,
                            .prefix = {Trim(choices.prefix), choices.onlyIfNotPresent},
                            .delimiter = choices.delimiter,
                            .nameText = choices.nameText,
                            .options = {.commitEvery = choices.commitEvery, .duplicates = choices.duplicates}};
        result_ = RunImport(job, &Book(), observer_);
        const ImportRunCounts& c = result_.Counts;
        if (!result_.Started) return {};
        return {c.TotalRecords, c.ImportedCount, c.FailedCount, c.SkippedCount, c.HadErrors};
    }

    // Lists `bytes` as a CSV file with a header, maps it by the header and
    // runs a normalised import into the shared folder 0 with a rejects file.
    ImportResult ImportCsv(const std::string& bytes, ImportOptions options = {}) {
        const std::string source = Folder().file("contacts.csv");
        test::WriteFile(source, bytes);
        observer_ = test::RecordingRunObserver{};
        std::vector<std::string> header;
        EXPECT_TRUE(ListCsvSource({.sourceFile = source, .sourceLineCount = 1000}, records_, header,
                                  static_cast<ImportObserver&>(observer_)));
        ColumnMapping mapping;
        for (const HeaderMatch& match : MapByHeader(header).matches)
            mapping.Map(match.field, static_cast<int16_t>(match.column));
        RejectsFile rejects(RejectsPath(), source, header, true, records_, U',');
        options.normalise = options.report = true;
        options.rejects = &rejects;
        const ImportJob job{
            .records = &records_, .mapping = mapping, .destination = {}, .prefix = prefix_, .options = options};
        return RunImport(job, &Book(), observer_);
    }

    std::string RejectsPath() const { return Folder().file("contacts.rejects.csv"); }
    // Rows with NULL told from empty.
    Rows Stored(const std::string& sql) const { return Select(sql, "<null>"); }

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
    MobilePrefix prefix_;  // of the CSV imports
};

// A user mapping; each rule rejects with its line and record number, the first
// failing rule winning; Age is the leading number rounded half to even.
TEST_P(ImportRunTest, RecordsAreReadThroughTheMappingAndValidatedRuleByRule) {
    const Choices choices{
        .map = {"FirstName", "MobileNumber", "Sex", "Birthday", "Anniversary", "Age", "<ignore>", "City"}};
    EXPECT_EQ(Import("Ann,98100,F,31/02/2001,,,,\r\nAnn,98100,Male,soon,\r\nAnn,98100,F,,soon\r\n"
                     "Ann,98100,Male,,\r\nAnn,98x00,F,,\r\nAnn,,F,,\r\n   ,98100,F,,\r\n"
                     "A,1,m,2001-02-03,,24.5,x,Pune\r\nB,2,,,,25.5 years\r\n",
                     choices),
              (Tallies{9, 2, 7, 0, 1}));
    const std::string rule4 = "PelmarImpExp: Mobile No is not numeric or Contact name is missing at record no ";
    EXPECT_EQ(LogLines({"PelmarImpExp: Invalid", "PelmarImpExp: Mobile No is", "PelmarImpExp: Successfully",
                        "PelmarImpExp: Failed"}),
              (std::vector<std::string>{
                  "PelmarImpExp: Invalid date of birth.1", "PelmarImpExp: Invalid date of birth.2",
                  "PelmarImpExp: Invalid anniversory date.3", "PelmarImpExp: Invalid gender.4", rule4 + "5",
                  rule4 + "6", rule4 + "7", "PelmarImpExp: Successfully imported : 2", "PelmarImpExp: Failed : 7"}));
    EXPECT_TRUE(observer_.bad.empty());
    EXPECT_EQ(observer_.messages, std::vector<std::string>{kWithErrors});
    EXPECT_EQ(Select("SELECT FNAME,MOBILENO,SEX,BIRTHDAY,AGE,CITY,MNAME FROM SMS_ABCONTACTS ORDER BY ID"),
              (Rows{{"A", "1", "M", "2001-02-03", "24", "Pune", ""}, {"B", "2", "", "", "26", "", ""}}));
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
        EXPECT_EQ(
            Import("Ann,,,,,9876\r\nBob,,,,,919876\r\n", {.prefix = c.prefix, .onlyIfNotPresent = c.onlyIfNotPresent}),
            (Tallies{2, 2, 0, 0, 0}));
        EXPECT_EQ(Select("SELECT MOBILENO FROM SMS_ABCONTACTS ORDER BY ID"), c.stored);
    }
}

// An Age beyond 32 bits, a name too long once its apostrophe is doubled, a value
// too long for its parameter: each record logged and kept in the .bad file as it stood.
TEST_P(ImportRunTest, FailedRecordGoesToTheBadFileAndTheRunGoesOn) {
    const std::string longMobile = "9810012345678901234567890123456789012345678901234";  // 51 with "91"
    const std::string longName = std::string(49, 'x') + "'";                             // 51 once doubled
    const Choices choices{.delimiter = U';', .prefix = "91", .map = {"FirstName", "MobileNumber", "Age", "Hobby"}};
    EXPECT_EQ(Import("Ann;98100;3000000000;\r\n" + longName + ";98100;;\r\nO'Hara;98100;;photography\r\nCy;" +
                         longMobile + "\r\nBob;98101;7\r\n",
                     choices),
              (Tallies{5, 1, 4, 0, 1}));
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
    for (const int32_t commitEvery : {0, 2})
        for (const auto& c : cases) {
            SCOPED_TRACE(commitEvery * 1000 + c.destination.kind * 100 + c.destination.id.value_or(0));
            // A contact whose id is above those the table hands out (a sequence
            // on PostgreSQL) takes the memberships of the new ones, as it always
            // has; a batch names the insert's own contact.
            Exec({"DELETE FROM SMS_ABCONTACTS", "DELETE FROM SMS_ABGROUPMAPS",
                  "INSERT INTO SMS_ABCONTACTS (ID,USER_ID,FNAME) VALUES (100000,0,'Other')"});
            const bool toLargest = commitEvery == 0 && GetParam().kind == test::BackendKind::PostgreSQL;
            const char* group = toLargest ? "" : c.group;
            // The rejected middle record gets no membership row.
            EXPECT_EQ(Import("Ann,,,,,98100\r\nBad,,,,,x\r\nBob,,,,,98101\r\n",
                             {.destination = c.destination, .commitEvery = commitEvery}),
                      (Tallies{3, 2, 1, 0, 1}));
            EXPECT_EQ(Select("SELECT C.USER_ID,C.FOLDER_ID,M.GROUP_ID FROM SMS_ABCONTACTS C "
                             "LEFT JOIN SMS_ABGROUPMAPS M ON M.CONTACT_ID=C.ID WHERE C.FNAME <> 'Other' ORDER BY C.ID"),
                      (Rows{{c.owner, c.folder, group}, {c.owner, c.folder, group}}));
            EXPECT_EQ(Select("SELECT COUNT(*) FROM SMS_ABGROUPMAPS"), (Rows{{*c.group ? "2" : "0"}}));
            EXPECT_TRUE(observer_.bad.empty());
        }
    // A membership that cannot be inserted (no group id) leaves its contact in, counted as failed.
    Exec({"DELETE FROM SMS_ABCONTACTS"});
    EXPECT_EQ(Import("Ann,,,,,98100\r\n", {.destination = {SharedGroup, std::nullopt}}), (Tallies{1, 0, 1, 0, 1}));
    EXPECT_EQ(Select("SELECT FNAME FROM SMS_ABCONTACTS"), (Rows{{"Ann"}}));
    EXPECT_EQ(observer_.bad, std::vector<std::string>{"Ann,98100"});
}

// Names in any script come back as they went in, whichever text type the
// name-like columns are sent as, on every back end.
TEST_P(ImportRunTest, NonAsciiNamesRoundTripAsNarrowOrWideText) {
    const Rows stored = {{"Zo\u00eb", "M\u00fcller", "\u00c6r\u00f8sk\u00f8bing 7", "\u6771\u4eac\u5546\u4f1a",
                          "S\u00e3o Paulo", "\u0141\u00f3d\u017a", "\u0395\u03bb\u03bb\u03ac\u03b4\u03b1"}};
    std::string line;
    for (const std::string& value : stored[0]) line += value + ",";
    const std::vector<std::string> fields = {"FirstName", "LastName", "Address", "Organisation",
                                             "City",      "State",    "Country", "MobileNumber"};
    for (const NameText nameText : {NameText::Wide, NameText::Narrow}) {
        SCOPED_TRACE(nameText == NameText::Wide ? "wide" : "narrow");
        Exec({"DELETE FROM SMS_ABCONTACTS"});
        EXPECT_EQ(Import(line + "98100\r\n", {.map = fields, .nameText = nameText}), (Tallies{1, 1, 0, 0, 0}));
        EXPECT_EQ(Select("SELECT FNAME,LNAME,ADDRESS,ORGANISATION,CITY,STATE,COUNTRY FROM SMS_ABCONTACTS"), stored);
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
        std::optional<std::tuple<std::vector<std::string>, std::vector<std::string>, Rows, Rows>> perRecord;
        for (const int32_t commitEvery : {0, 1, 4, 6, 7, 1000}) {
            SCOPED_TRACE(commitEvery);
            Exec({"DELETE FROM SMS_ABGROUPMAPS", "DELETE FROM SMS_ABCONTACTS"});
            EXPECT_EQ(Import(text, {.map = {"FirstName", "MobileNumber", "Sex", "Age", "Email"},
                                    .destination = destination,
                                    .commitEvery = commitEvery}),
                      (Tallies{23, 14, 9, 0, 1}));
            EXPECT_EQ(result_.CommittedCount, 14);
            const auto outcome = std::tuple{masked(observer_.log), observer_.bad,
                                            Select("SELECT FNAME,MOBILENO,SEX,AGE FROM SMS_ABCONTACTS ORDER BY FNAME"),
                                            Select("SELECT COUNT(*) FROM SMS_ABGROUPMAPS")};
            if (!perRecord) perRecord = outcome;
            EXPECT_EQ(outcome, *perRecord);
        }
    }

    // A batch whose commit fails fails every record it stored, once each,
    // beside those that had failed in it already. A deferred trigger refuses
    // the commit; of our back ends only PostgreSQL defers one.
    if (GetParam().kind != test::BackendKind::PostgreSQL) return;
    Exec({"DELETE FROM SMS_ABGROUPMAPS", "DELETE FROM SMS_ABCONTACTS",
          "CREATE OR REPLACE FUNCTION TEST_REFUSE() RETURNS trigger LANGUAGE plpgsql AS "
          "'BEGIN RAISE EXCEPTION ''refused at commit''; END'",
          "CREATE CONSTRAINT TRIGGER TEST_REFUSE_AT_COMMIT AFTER INSERT ON SMS_ABCONTACTS "
          "DEFERRABLE INITIALLY DEFERRED FOR EACH ROW EXECUTE FUNCTION TEST_REFUSE()"});
    EXPECT_EQ(Import(text, {.map = {"FirstName", "MobileNumber", "Sex", "Age", "Email"}, .commitEvery = 1000}),
              (Tallies{23, 0, 23, 0, 1}));
    EXPECT_EQ(result_.CommittedCount, 0);
    EXPECT_EQ(std::set(observer_.bad.begin(), observer_.bad.end()).size(), observer_.bad.size());
    EXPECT_EQ(observer_.bad.size(), 19U);
    EXPECT_EQ(Select("SELECT COUNT(*) FROM SMS_ABCONTACTS"), (Rows{{"0"}}));
}

// A file of another program, in Windows-1252: mapped by its header, its good
// record normalised, each rejection naming its line, field and value.
TEST_P(ImportRunTest, FilesOfOtherProgramsImportAsTheirUsersExpect) {
    const ImportResult result = ImportCsv(
        "Given Name,Family Name,Mobile Phone,Gender,Birthday,Address\r\n"
        "Zo\xEB,Lee,+1 555 3227 8544,female,20/01/1991,Stra\xDF\x65 1\r\n"
        "Al,Bo,98103,X,,\r\n\r\nAl,Bo,98x03,,,\r\n,Bo,98104,,,\r\nAl,Bo,98105,,31/02/2001,\r\nAl,Bo,98106,,," +
        std::string(51, 'a') + "\r\n");
    EXPECT_EQ(result.Counts.TotalRecords, 6);
    EXPECT_EQ(Stored("SELECT FNAME,LNAME,MOBILENO,SEX,BIRTHDAY,ADDRESS FROM SMS_ABCONTACTS"),
              (Rows{{"Zo\xC3\xAB", "Lee", "+155532278544", "F", "1991-01-20", "Stra\xC3\x9F\x65 1"}}));
    EXPECT_EQ(Problems(result),
              (std::vector<std::string>{"3 Sex \"X\": not M or F", "5 MobileNumber \"98x03\": not a number",
                                        "6 FirstName \"\": missing", "7 Birthday \"31/02/2001\": not a date",
                                        "8 Address \"" + std::string(51, 'a') + "\": longer than 50 characters"}));
}

TEST_P(ImportRunTest, EveryRecordNotImportedGoesToTheRejectsFileAsTheSourceHadIt) {
    const ImportResult result = ImportCsv(
        "Name,Mobile,Age,Notes\n"
        "Ann,98100,24,ok\n"
        "\"Bo, \"\"B\"\"\",98x,,\"two\nlines\"\n"
        "Cy,98102,3000000000\n");
    EXPECT_EQ(result.Counts.FailedCount, 2);
    EXPECT_EQ(observer_.bad, std::vector<std::string>{"Cy,98102"});  // the .bad file as ever
    EXPECT_EQ(test::ReadFile(RejectsPath()),
              "Name,Mobile,Age,Notes,Line,Reason\r\n"
              "\"Bo, \"\"B\"\"\",98x,,\"two\nlines\",3,\"MobileNumber \"\"98x\"\": not a number\"\r\n"
              "Cy,98102,3000000000,,5,Overflow\r\n");
    ASSERT_EQ(result.Problems.size(), 2u);
    EXPECT_EQ(result.Problems[1].kind, RecordProblem::Kind::Failed);
}

TEST_P(ImportRunTest, DuplicatesAreSkippedOrUpdatedByMobileNumber) {
    const std::string file = "Name,Last,Mobile,City\nAnn,Lee,98100,Pune\nBo,Ray,98101,Goa\nAnn again,,98100,Agra\n";
    const auto tally = [](const ImportResult& r) {
        return std::vector<int32_t>{r.Counts.ImportedCount, r.Counts.SkippedCount, r.UpdatedCount};
    };
    // A batch finds the numbers it has stored itself, as records committed one by one are found.
    EXPECT_EQ(tally(ImportCsv(file, {.commitEvery = 1000, .duplicates = DuplicatePolicy::Skip})),
              (std::vector<int32_t>{2, 1, 0}));
    EXPECT_EQ(tally(ImportCsv(file, {.duplicates = DuplicatePolicy::Skip})), (std::vector<int32_t>{0, 3, 0}));
    EXPECT_EQ(tally(ImportCsv(file, {.dryRun = true})), (std::vector<int32_t>{3, 0, 0}));
    EXPECT_EQ(Stored("SELECT FNAME,LNAME,CITY FROM SMS_ABCONTACTS ORDER BY ID"),
              (Rows{{"Ann", "Lee", "Pune"}, {"Bo", "Ray", "Goa"}}));

    // An update sets the mapped fields only; a new number is inserted.
    EXPECT_EQ(tally(ImportCsv("Name,Mobile,City\nAnnie,98100,Delhi\nDi,98102,Kochi\n",
                              {.duplicates = DuplicatePolicy::Update})),
              (std::vector<int32_t>{2, 0, 1}));
    EXPECT_EQ(Stored("SELECT FNAME,LNAME,CITY FROM SMS_ABCONTACTS ORDER BY ID"),
              (Rows{{"Annie", "Lee", "Delhi"}, {"Bo", "Ray", "Goa"}, {"Di", "", "Kochi"}}));
    EXPECT_EQ(Problems(ImportCsv("Mobile,City\n98100,Delhi\n", {.dryRun = true})),
              std::vector<std::string>{"2 FirstName \"\": missing"});
}

// Each record's region is named by its CountryCode; home numbers are rewritten only where valid.
TEST_P(ImportRunTest, MobileNumbersAreStoredInE164OrRejectedForTheRegionTheirRecordNames) {
    const struct {
        const char *mobile, *country, *home;
        Rows stored;          // MOBILENO, COUNTRYCODE, HOMEPHONE; none when rejected
        const char* problem;  // the field "value": reason
    } cases[] = {
        {"09820012345", "IN", "12345", {{"+919820012345", "+91", "12345"}}, ""},
        {"98200123", "IN", "", {}, "MobileNumber \"98200123\": not a valid number for IN"},
        {"07400 123456", "United Kingdom", "020 7946 0958", {{"+447400123456", "+44", "+442079460958"}}, ""},
        {"+442079460958", "GB", "", {}, "MobileNumber \"+442079460958\": not a mobile number: fixed line"},
        {"(201) 555-0123", "+1", "", {{"+12015550123", "+1", ""}}, ""},
        {"98 100", "", "1 2", {{"98100", "", "12"}}, ""},
        {"98101", "Atlantis", "", {}, "CountryCode \"Atlantis\": not a region, calling code or country name"},
    };
    std::string file = "Name,Mobile,Country Code,Home Phone\n";
    Rows stored;
    std::vector<std::string> problems, logged;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        file += "N" + std::to_string(i) + ",\"" + c.mobile + "\"," + c.country + "," + c.home + "\n";
        stored.insert(stored.end(), c.stored.begin(), c.stored.end());
        if (!*c.problem) continue;
        problems.push_back(std::to_string(i + 2) + " " + c.problem);
        logged.push_back("PelmarImpExp: " + std::string(c.problem) + " at record no " + std::to_string(i + 1));
    }
    const ImportResult result = ImportCsv(file, {.parsePhones = true, .mobileOnly = true});
    EXPECT_EQ(Stored("SELECT MOBILENO,COUNTRYCODE,HOMEPHONE FROM SMS_ABCONTACTS ORDER BY ID"), stored);
    EXPECT_EQ(Problems(result), problems);
    EXPECT_EQ(LogLines({"PelmarImpExp: MobileNumber", "PelmarImpExp: CountryCode"}), logged);

    // Every number parsed is counted, under its own region when valid.
    ASSERT_TRUE(result.Numbers);
    const PhoneCounts& numbers = *result.Numbers;
    EXPECT_EQ(PhoneCountsLine(numbers, true),
              "numbers: 2 mobile, 1 fixed line (rejected), 1 fixed line or mobile, 1 invalid (rejected)");
    EXPECT_EQ(numbers.Regions(), (std::map<std::string, int32_t>{{"GB", 2}, {"IN", 2}, {"US", 1}}));
}

// With a region the prefix rule is left out, and an update stores the number in E.164.
TEST_P(ImportRunTest, WithARegionDuplicatesAreTheSameNumberInAnySpelling) {
    ImportCsv("Name,Mobile,City\nOld,098200 12346,Pune\n");
    prefix_ = {"91", false};
    const ImportOptions india{.duplicates = DuplicatePolicy::Skip, .parsePhones = true, .phoneRegion = "IN"};
    const ImportResult result = ImportCsv(
        "Name,Mobile,City\nA,09820012345,Goa\nB,+91 98200 12345,Goa\nC,919820012345,Goa\n"
        "D,0091 9820012345,Goa\nE,+91 98200 12346,Goa\n",
        india);
    EXPECT_EQ((std::vector<int32_t>{result.Counts.ImportedCount, result.Counts.SkippedCount}),
              (std::vector<int32_t>{1, 4}));
    ImportOptions update = india;
    update.duplicates = DuplicatePolicy::Update;
    EXPECT_EQ(ImportCsv("Name,Mobile,City\nOlder,9820012346,Agra\n", update).UpdatedCount, 1);
    EXPECT_EQ(Stored("SELECT FNAME,MOBILENO,COUNTRYCODE,CITY FROM SMS_ABCONTACTS ORDER BY ID"),
              (Rows{{"Older", "+919820012346", "", "Agra"}, {"A", "+919820012345", "+91", "Goa"}}));
    // Without a region the prefix rule and the spelling stand as ever.
    EXPECT_EQ(ImportCsv("Name,Mobile\nG,09820012345\n", {.duplicates = DuplicatePolicy::Skip}).Counts.ImportedCount, 1);
    EXPECT_EQ(Stored("SELECT MOBILENO FROM SMS_ABCONTACTS WHERE FNAME='G'"), (Rows{{"9109820012345"}}));
}

// Every column, with the CSV format's own characters and those of every width.
TEST_P(ImportRunTest, ExportThenImportGivesBackTheSameContacts) {
    db::Command insert;
    PrepareContactInsert(insert, Book(), NameText::Wide);
    // In the insert's order: USER_ID, FNAME .. MOBILENO, EMAIL, ADDRESS, ORGANISATION, FOLDER_ID, SEX,
    // COUNTRYCODE, AGE, CITY .. FAX, BIRTHDAY, ANNIVERSARY, HOBBY.
    const std::string odd = "a'\",;\r\n\xC3\xA9\xE6\x9D\xB1\xF0\x9F\x98\x80z";
    insert.Execute({0,     "F" + odd, "M" + odd, "L" + odd,    "+9198",   "o'n@x.org", "A" + odd, "O" + odd,
                    0,     "F",       "+91",     44,           "C" + odd, "S" + odd,   "N" + odd, "Z\"1",
                    "022", "+012",    "03",      "1987-01-31", "--02-29", "H,\"b"},
                   db::adExecuteNoRecords);
    insert.Execute(
        {0, "Bo", "", "", "981", "", "", "", 0, "", "", 0, "", "", "", "", "", "", "", db::Null{}, db::Null{}, ""},
        db::adExecuteNoRecords);
    const std::string columns =
        "SELECT FNAME,MNAME,LNAME,MOBILENO,EMAIL,ADDRESS,ORGANISATION,SEX,COUNTRYCODE,AGE,CITY,STATE,COUNTRY,ZIP,"
        "HOMEPHONE,OFFICEPHONE,FAX,BIRTHDAY,ANNIVERSARY,HOBBY FROM SMS_ABCONTACTS ORDER BY ID";
    const Rows before = Stored(columns);
    const std::string exported = Folder().file("export.csv");
    test::WriteFile(exported, "");
    test::RecordingRunObserver exportObserver;
    EXPECT_FALSE(RunExport({.destinationFile = exported, .outputFile = exported, .format = ExportFormat::Csv}, &Book(),
                           exportObserver)
                     .Errors);
    Exec({"DELETE FROM SMS_ABCONTACTS"});
    const ImportResult result = ImportCsv(test::ReadFile(exported));
    EXPECT_EQ(result.Counts.ImportedCount, 2) << (result.Problems.empty() ? "" : DescribeProblem(result.Problems[0]));
    EXPECT_EQ(Stored(columns), before);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ImportRunTest);

}  // namespace
}  // namespace pelmar
