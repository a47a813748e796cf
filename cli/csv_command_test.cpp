// `pelmar import --format csv` and `pelmar export --format csv` as processes:
// the console, the report, the rejects file, a second import that skips
// duplicates, and the causes of failures on standard error.
#include <gtest/gtest.h>

#include "db/connection.h"
#include "db/recordset.h"
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
        db::Connection connection;
        connection.Open(ConnectionString());
        db::SeedDemo(connection);
        test::WriteFile(Source(),
                        "Given Name,Mobile Phone,Gender,Notes\nAnn,555-0100,female,\nBo,98x,m,\nCy,(02) 9876,Male,\n");
    }

    std::string Source() const { return Folder().file("people.csv"); }
    std::string Rejects() const { return Folder().file("people.rejects.csv"); }
    std::string Log() const { return Folder().file("run.log"); }
    std::vector<std::string> Import(std::vector<std::string> more) const {
        std::vector<std::string> args = {Source(), "--remote", ConnectionString(), "--user", "1",
                                         "--log",  Log(),      "--format",         "csv",    "--to",
                                         "SFLD1"};
        args.insert(args.end(), more.begin(), more.end());
        return args;
    }
    int32_t Contacts() const {
        db::Connection connection;
        connection.Open(ConnectionString());
        db::Recordset rs;
        rs.Open("SELECT COUNT(*) FROM SMS_ABCONTACTS WHERE FOLDER_ID = 1", connection);
        return rs.Field(0).ToInt32();
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
            {"again, skipping duplicates", Import({"--duplicates", "skip"}), 1,
             "Total: 3\nImported: 0\nFailed: 1\nSkipped: 2\nLog: " + Log() + "\nRejects: " + Rejects() + "\n", ""},
            {"a header name in --map", Import({"--map", "gender=<ignore>,Notes=Hobby", "--duplicates", "skip"}), 1,
             "Total: 3\nImported: 0\nFailed: 1\nSkipped: 2\nLog: " + Log() + "\nRejects: " + Rejects() + "\n",
             "mapping: \"Notes\" (column 3) -> Hobby\npelmar import: mapping: not mapped: \"Gender\" (column 2)"},
            {"an option of the CSV format alone",
             {Source(), "--remote", ConnectionString(), "--user", "1", "--no-header"},
             2,
             "",
             "--no-header needs --format csv"},
            {"a wizard's run of a file with line feeds alone",
             {Source(), "--remote", ConnectionString(), "--user", "1", "--log", Log()},
             1,
             "Total: 1\nImported: 0\nFailed: 1\nSkipped: 0\nLog: " + Log() + "\n",
             "ends its lines with line feeds alone"},
            {"a database that cannot be opened",
             {Source(), "--remote", "Driver=SQLite3;Database=" + Folder().file("none/book.db"), "--user", "1", "--log",
              Log()},
             2,
             "",
             "pelmar import: Cannot open the SQLite database"},
        });
    EXPECT_EQ(test::ReadFile(Rejects()),
              "Given Name,Mobile Phone,Gender,Notes,Line,Reason\r\n"
              "Bo,98x,m,,3,\"MobileNumber \"\"98x\"\": not a number\"\r\n");
    EXPECT_EQ(Contacts(), 3);  // the demo's one and two of the file

    const std::string exported = Folder().file("out.csv");
    const test::CommandOutcome out =
        test::RunCommand(Folder(), {PELMAR_BINARY, "export", exported, "--remote", ConnectionString(), "--user", "1",
                                    "--log", Log(), "--format", "csv"});
    EXPECT_EQ(out.status, 0) << out.err;
    EXPECT_TRUE(
        test::ReadFile(exported).starts_with("FirstName,MiddleName,LastName,Email,Address,MobileNumber,"
                                             "Organisation,Sex,CountryCode,Age,City,State,Country,Zip,"
                                             "HomePhone,OfficePhone,Fax,Birthday,Anniversary,Hobby\r\n"));
    EXPECT_NE(test::ReadFile(exported).find(",5550100,,F,"), std::string::npos);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(CsvCommandTest);

}  // namespace
}  // namespace pelmar
