// `pelmar import --format csv` as a process, and the phone options of both commands.
#include <gtest/gtest.h>

#include "db/schema.h"
#include "testing/db_backends.h"
#include "testing/run_command.h"

namespace pelmar {
namespace {

class CsvCommandTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        db::SeedDemo(Book());
        test::WriteFile(Source(),
                        "Given Name,Mobile Phone,Gender,Notes\nAnn,555-0100,female,\nBo,98x,m,\nCy,(02) 9876,Male,\n");
    }

    std::string Source() const { return Folder().file("people.csv"); }
    std::string Rejects() const { return Folder().file("people.rejects.csv"); }
    std::string Log() const { return Folder().file("run.log"); }
    // The source, the remote database and user 1, then `more`.
    std::vector<std::string> Args(std::vector<std::string> more, const std::string& remote = {}) const {
        more.insert(more.begin(), {Source(), "--remote", remote.empty() ? ConnectionString() : remote, "--user", "1"});
        return more;
    }
    std::vector<std::string> Import(std::vector<std::string> more) const {
        more.insert(more.begin(), {"--log", Log(), "--format", "csv", "--to", "SFLD1"});
        return Args(more);
    }
};

TEST_P(CsvCommandTest, ImportsReportsAndSkipsWhatIsThereAlready) {
    const std::string counts =
        "Total: 3\nImported: 2\nFailed: 1\nSkipped: 0\nLog: " + Log() + "\nRejects: " + Rejects() + "\n";
    const std::string json =
        R"({"source":")" + Source() +
        R"(","format":"csv","dryRun":true,"counts":{"total":3,)"
        R"("imported":2,"failed":1,"skipped":0,"updated":0,"committed":0},"log":")" +
        Log() + R"(","badFile":null,"rejectsFile":")" + Rejects() +
        R"(","problems":[{"record":2,)"
        R"("line":3,"kind":"rejected","field":"MobileNumber","value":"98x","reason":"not a number"}]})"
        "\n";
    test::ExpectRuns(
        Folder(), {PELMAR_BINARY, "import"},
        {
            {"a dry run reports in JSON", Import({"--dry-run", "--report", "json"}), 1, json,
             "pelmar import: mapping: \"Given Name\" (column 0) -> FirstName\n"
             "pelmar import: mapping: \"Mobile Phone\" (column 1) -> MobileNumber\n"
             "pelmar import: mapping: \"Gender\" (column 2) -> Sex\n"
             "pelmar import: mapping: not mapped: \"Notes\" (column 3)\n"},
            {"the import", Import({}), 1, counts, "importing 100%"},
            {"a header name in --map", Import({"--map", "gender=<ignore>,Notes=Hobby", "--duplicates", "skip"}), 1,
             "Total: 3\nImported: 0\nFailed: 1\nSkipped: 2\nLog: " + Log() + "\nRejects: " + Rejects() + "\n",
             "mapping: \"Notes\" (column 3) -> Hobby\npelmar import: mapping: not mapped: \"Gender\" (column 2)"},
            {"a field moved twice leaves the last column too", Import({"--map", "Notes=Sex,Gender=Sex", "--dry-run"}),
             1,
             "Total: 3\nImported: 2\nFailed: 1\nSkipped: 0\nLog: " + Log() + "\nRejects: " + Rejects() +
                 "\nDry run: nothing was written\n",
             "mapping: \"Gender\" (column 2) -> Sex\npelmar import: mapping: not mapped: \"Notes\" (column 3)"},
            {"no header and no --map: the first eight columns", Import({"--no-header", "--dry-run"}), 1,
             "Total: 4\nImported: 0\nFailed: 4\nSkipped: 0\nLog: " + Log() + "\nRejects: " + Rejects() +
                 "\nDry run: nothing was written\n",
             "mapping: no header and no --map: the first eight columns are FirstName,"},
            {"an option of the CSV format alone", Args({"--no-header"}), 2, "", "--no-header needs --format csv"},
            {"a wizard's run of a file with line feeds alone", Args({"--log", Log()}), 1,
             "Total: 1\nImported: 0\nFailed: 1\nSkipped: 0\nLog: " + Log() + "\n",
             "ends its lines with line feeds alone"},
            {"a database that cannot be opened",
             Args({"--log", Log()}, "Driver=SQLite3;Database=" + Folder().file("none/book.db")), 2, "",
             "pelmar import: Cannot open the SQLite database"},
        });
    // The demo's one and two of the file (the rejects file's lines: the core's tests).
    EXPECT_EQ(Select("SELECT COUNT(*) FROM SMS_ABCONTACTS WHERE FOLDER_ID = 1"), test::Rows{{"3"}});
}

// With a region the wizard's format takes a "+" number that parses and leaves the prefix out.
TEST_P(CsvCommandTest, PhoneRegionChecksNumbersAndTheExportFormatsThem) {
    const std::string source = Folder().file("wizard.csv");
    test::WriteFile(source, "Ann,,,,,+91 98200 12345\r\nBo,,,,,09820012346\r\nCy,,,,,98200123\r\n");
    const auto plus = [&](std::vector<std::string> more) {
        more.insert(more.begin(), {source, "--remote", ConnectionString(), "--user", "1", "--log", Log()});
        return more;
    };
    std::vector<std::string> dryRun = plus({"--phone-region", "in", "--dry-run", "--report", "json"});
    dryRun.insert(dryRun.begin(), {PELMAR_BINARY, "import"});
    const test::CommandOutcome dry = test::RunCommand(Folder(), dryRun);
    EXPECT_NE(dry.out.find(R"("value":"98200123","reason":"not a valid number for IN")"), std::string::npos);
    EXPECT_NE(dry.out.find(R"("numbers":{"types":{"mobile":2,"fixed_line":0,"fixed_line_or_mobile":0,"toll_free":0,)"
                           R"("voip":0,"other":0,"invalid":1},"regions":{"IN":3}})"),
              std::string::npos)
        << dry.out;
    test::ExpectRuns(
        Folder(), {PELMAR_BINARY, "import"},
        {
            {"the import", plus({"--to", "SFLD1", "--prefix", "91", "--phone-region", "IN", "--mobile-only"}), 1,
             "Total: 3\nImported: 2\nFailed: 1\nSkipped: 0\nLog: " + Log() + "\n",
             "pelmar import: numbers: 2 mobile, 1 invalid (rejected)\n"},
            {"--mobile-only alone", plus({"--mobile-only"}), 2, "", "--mobile-only needs --phone-region"},
            {"not a region", plus({"--phone-region", "XY"}), 2, "", "XY is not a two-letter region"},
        });
    const std::string file = Folder().file("out.csv");
    const auto exported = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {PELMAR_BINARY, "export", file, "--remote", ConnectionString(), "--user", "1",
                                   "--log", Log(), "--format", "csv"});
        const test::CommandOutcome out = test::RunCommand(Folder(), args);
        return std::to_string(out.status) + " " + out.err + test::ReadFile(file);
    };
    EXPECT_NE(exported({}).find(",+919820012346,"), std::string::npos);
    EXPECT_NE(exported({"--phone-format", "national", "--phone-region", "IN"}).find(",098200 12346,"),
              std::string::npos);
    EXPECT_NE(exported({"--phone-format", "international"}).find(",+91 98200 12346,"), std::string::npos);
    EXPECT_TRUE(exported({"--phone-format", "national"}).starts_with("2 pelmar export: --phone-format national needs"));
}

PELMAR_INSTANTIATE_BACKEND_TESTS(CsvCommandTest);

}  // namespace
}  // namespace pelmar
