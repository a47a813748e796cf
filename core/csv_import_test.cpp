// Files in the shapes other programs write, through the CSV listing, the header's mapping and a
// normalised run, into the address book of every back end.
#include <gtest/gtest.h>

#include "common/text.h"
#include "core/csv_listing.h"
#include "core/export_run.h"
#include "core/header_mapping.h"
#include "core/import_run.h"
#include "core/rejects_file.h"
#include "db/command.h"
#include "testing/db_backends.h"
#include "testing/recording_observer.h"

namespace pelmar {
namespace {

using test::Rows;

// "line field: reason" of each problem.
std::vector<std::string> Problems(const ImportResult& result) {
    std::vector<std::string> out;
    for (const RecordProblem& p : result.Problems)
        out.push_back(std::to_string(p.line) + " " + p.field + (p.field.empty() ? "" : " \"" + p.value + "\"") + ": " +
                      p.reason);
    return out;
}

class CsvImportTest : public test::BackendTest {
protected:
    // Lists `bytes` as a CSV file with a header, maps it by the header and
    // runs a normalised import into the shared folder 0 with a rejects file.
    ImportResult Import(const std::string& bytes, ImportOptions options = {}) {
        const std::string source = Folder().file("contacts.csv");
        test::WriteFile(source, bytes);
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

    Rows Select(const std::string& sql) const { return BackendTest::Select(sql, "<null>"); }

    RecordStore records_;
    test::RecordingRunObserver observer_;
    MobilePrefix prefix_;
};

TEST_P(CsvImportTest, FilesOfOtherProgramsImportAsTheirUsersExpect) {
    const std::string head = "Given Name,Family Name,Mobile Phone,Gender,Birthday,Address\r\n";
    const struct {
        const char* name;
        std::string bytes;
        Rows stored;  // FNAME, LNAME, MOBILENO, SEX, BIRTHDAY, ADDRESS
        std::vector<std::string> problems;
    } cases[] = {
        {"LF, a quoted delimiter, an apostrophe",
         "First Name,Last Name,Phone,Address\nSean,O'Neil,555-0123,\"999 Super Way, Super, CA, 94043\"\n",
         {{"Sean", "O'Neil", "5550123", "", "<null>", "999 Super Way, Super, CA, 94043"}},
         {}},
        {"CR LF, a line break and doubled quotes in quotes",
         head + "\"Ann \"\"Nan\"\"\",Lee,+1 555 3227 8544,female,20/01/1991,\"1 Main St\r\nFlat 2\"\r\n",
         {{"Ann \"Nan\"", "Lee", "+155532278544", "F", "1991-01-20", "1 Main St\r\nFlat 2"}},
         {}},
        {"Windows-1252",
         head + "Zo\xEB,M\xFCller,98100,F,,Stra\xDF\x65 1\r\n",
         {{"Zo\xC3\xAB", "M\xC3\xBCller", "98100", "F", "<null>", "Stra\xC3\x9F\x65 1"}},
         {}},
        {"rejections name the line, field and value",
         head + "Al,Bo,98103,X,,\r\n\r\nAl,Bo,98x03,,,\r\n,Bo,98104,,,\r\nAl,Bo,98105,,31/02/2001,\r\nAl,Bo,98106,,," +
             std::string(51, 'a') + "\r\n",
         {},
         {"2 Sex \"X\": not M or F", "4 MobileNumber \"98x03\": not a number", "5 FirstName \"\": missing",
          "6 Birthday \"31/02/2001\": not a date",
          "7 Address \"" + std::string(51, 'a') + "\": longer than 50 characters"}},
    };
    for (const auto& c : cases) {
        Exec({"DELETE FROM SMS_ABCONTACTS"});
        const ImportResult result = Import(c.bytes);
        EXPECT_EQ(result.Counts.TotalRecords, static_cast<int32_t>(c.stored.size() + c.problems.size())) << c.name;
        EXPECT_EQ(Select("SELECT FNAME,LNAME,MOBILENO,SEX,BIRTHDAY,ADDRESS FROM SMS_ABCONTACTS ORDER BY ID"), c.stored)
            << c.name;
        EXPECT_EQ(Problems(result), c.problems) << c.name;
    }
}

TEST_P(CsvImportTest, EveryRecordNotImportedGoesToTheRejectsFileAsTheSourceHadIt) {
    const ImportResult result = Import(
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

TEST_P(CsvImportTest, DuplicatesAreSkippedOrUpdatedByMobileNumber) {
    const std::string file = "Name,Last,Mobile,City\nAnn,Lee,98100,Pune\nBo,Ray,98101,Goa\nAnn again,,98100,Agra\n";
    const auto tally = [](const ImportResult& r) {
        return std::vector<int32_t>{r.Counts.ImportedCount, r.Counts.SkippedCount, r.UpdatedCount};
    };
    // A batch finds the numbers it has stored itself, as records committed one by one are found.
    EXPECT_EQ(tally(Import(file, {.commitEvery = 1000, .duplicates = DuplicatePolicy::Skip})),
              (std::vector<int32_t>{2, 1, 0}));
    EXPECT_EQ(tally(Import(file, {.duplicates = DuplicatePolicy::Skip})), (std::vector<int32_t>{0, 3, 0}));
    EXPECT_EQ(tally(Import(file, {.dryRun = true})), (std::vector<int32_t>{3, 0, 0}));
    EXPECT_EQ(Select("SELECT FNAME,LNAME,CITY FROM SMS_ABCONTACTS ORDER BY ID"),
              (Rows{{"Ann", "Lee", "Pune"}, {"Bo", "Ray", "Goa"}}));

    // An update sets the mapped fields only; a new number is inserted.
    EXPECT_EQ(
        tally(Import("Name,Mobile,City\nAnnie,98100,Delhi\nDi,98102,Kochi\n", {.duplicates = DuplicatePolicy::Update})),
        (std::vector<int32_t>{2, 0, 1}));
    EXPECT_EQ(Select("SELECT FNAME,LNAME,CITY FROM SMS_ABCONTACTS ORDER BY ID"),
              (Rows{{"Annie", "Lee", "Delhi"}, {"Bo", "Ray", "Goa"}, {"Di", "", "Kochi"}}));
    EXPECT_EQ(Problems(Import("Mobile,City\n98100,Delhi\n", {.dryRun = true})),
              std::vector<std::string>{"2 FirstName \"\": missing"});
}

// Each record's region is named by its CountryCode; home numbers are rewritten only where valid.
TEST_P(CsvImportTest, MobileNumbersAreStoredInE164OrRejectedForTheRegionTheirRecordNames) {
    const struct {
        const char *mobile, *country, *home;
        Rows stored;          // MOBILENO, COUNTRYCODE, HOMEPHONE; none when rejected
        const char* problem;  // the field "value": reason
    } cases[] = {
        {"09820012345", "IN", "12345", {{"+919820012345", "+91", "12345"}}, ""},
        {"0091 9820012345", "india", "", {{"+919820012345", "+91", ""}}, ""},
        {"98200123", "IN", "", {}, "MobileNumber \"98200123\": not a valid number for IN"},
        {"07400 123456", "United Kingdom", "020 7946 0958", {{"+447400123456", "+44", "+442079460958"}}, ""},
        {"+44 20 7946 0958", "GB", "", {}, "MobileNumber \"+44 20 7946 0958\": not a mobile number: fixed line"},
        {"(201) 555-0123", "+1", "", {{"+12015550123", "+1", ""}}, ""},
        {"011 44 7400 123456", "US", "", {{"+447400123456", "+44", ""}}, ""},
        {"0800 1234567890", "DE", "", {}, "MobileNumber \"0800 1234567890\": not a mobile number: toll free"},
        {"98 100", "", "1 2", {{"98100", "", "12"}}, ""},
        {"98101", "Atlantis", "", {}, "CountryCode \"Atlantis\": not a region, calling code or country name"},
    };
    std::string file = "Name,Mobile,Country Code,Home Phone\n";
    Rows stored;
    std::vector<std::string> problems;
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        file += "N" + std::to_string(i) + ",\"" + c.mobile + "\"," + c.country + "," + c.home + "\n";
        stored.insert(stored.end(), c.stored.begin(), c.stored.end());
        if (*c.problem) problems.push_back(std::to_string(i + 2) + " " + c.problem);
    }
    const ImportResult result = Import(file, {.parsePhones = true, .mobileOnly = true});
    EXPECT_EQ(Select("SELECT MOBILENO,COUNTRYCODE,HOMEPHONE FROM SMS_ABCONTACTS ORDER BY ID"), stored);
    EXPECT_EQ(Problems(result), problems);
    const std::string rejects = test::ReadFile(RejectsPath());
    for (const RecordProblem& problem : result.Problems)
        EXPECT_NE(rejects.find("," + std::to_string(problem.line) + ",\"" + problem.field), std::string::npos)
            << problem.reason;

    // Every number parsed is counted, under its own region when valid.
    ASSERT_TRUE(result.Numbers);
    const PhoneCounts& numbers = *result.Numbers;
    EXPECT_EQ((std::vector<int32_t>{numbers.Of(PhoneKind::Mobile), numbers.Of(PhoneKind::FixedLine),
                                    numbers.Of(PhoneKind::FixedLineOrMobile), numbers.Of(PhoneKind::TollFree),
                                    numbers.Of(PhoneKind::Invalid)}),
              (std::vector<int32_t>{4, 1, 1, 1, 1}));
    EXPECT_EQ(numbers.Regions(), (std::map<std::string, int32_t>{{"DE", 1}, {"GB", 3}, {"IN", 3}, {"US", 1}}));
}

// With a region the prefix rule is left out, and an update stores the number in E.164.
TEST_P(CsvImportTest, WithARegionDuplicatesAreTheSameNumberInAnySpelling) {
    Import("Name,Mobile,City\nOld,098200 12346,Pune\n");
    prefix_ = {"91", false};
    const ImportOptions india{.duplicates = DuplicatePolicy::Skip, .parsePhones = true, .phoneRegion = "IN"};
    const ImportResult result = Import(
        "Name,Mobile,City\nA,09820012345,Goa\nB,+91 98200 12345,Goa\nC,919820012345,Goa\n"
        "D,0091 9820012345,Goa\nE,+91 98200 12346,Goa\nF,98101,Goa\n",
        india);
    EXPECT_EQ((std::vector<int32_t>{result.Counts.ImportedCount, result.Counts.SkippedCount}),
              (std::vector<int32_t>{1, 4}));
    EXPECT_EQ(Problems(result),
              std::vector<std::string>{"7 MobileNumber \"98101\": not a valid number for IN: too short"});
    ImportOptions update = india;
    update.duplicates = DuplicatePolicy::Update;
    EXPECT_EQ(Import("Name,Mobile,City\nOlder,9820012346,Agra\n", update).UpdatedCount, 1);
    EXPECT_EQ(Select("SELECT FNAME,MOBILENO,COUNTRYCODE,CITY FROM SMS_ABCONTACTS ORDER BY ID"),
              (Rows{{"Older", "+919820012346", "", "Agra"}, {"A", "+919820012345", "+91", "Goa"}}));
    // Without a region the prefix rule and the spelling stand as ever.
    EXPECT_EQ(Import("Name,Mobile\nG,09820012345\n", {.duplicates = DuplicatePolicy::Skip}).Counts.ImportedCount, 1);
    EXPECT_EQ(Select("SELECT MOBILENO FROM SMS_ABCONTACTS WHERE FNAME='G'"), (Rows{{"9109820012345"}}));
}

// Every column, with the CSV format's own characters and those of every width.
TEST_P(CsvImportTest, ExportThenImportGivesBackTheSameContacts) {
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
    const Rows before = Select(columns);
    const std::string exported = Folder().file("export.csv");
    test::WriteFile(exported, "");
    test::RecordingRunObserver exportObserver;
    EXPECT_FALSE(RunExport({.destinationFile = exported, .outputFile = exported, .format = ExportFormat::Csv}, &Book(),
                           exportObserver)
                     .Errors);
    Exec({"DELETE FROM SMS_ABCONTACTS"});
    const ImportResult result = Import(test::ReadFile(exported));
    EXPECT_EQ(result.Counts.ImportedCount, 2) << (result.Problems.empty() ? "" : DescribeProblem(result.Problems[0]));
    EXPECT_EQ(Select(columns), before);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(CsvImportTest);

}  // namespace
}  // namespace pelmar
