// `pelmar import --format vcard|xlsx|auto` as a process (round trips: the writers' tests).
#include <gtest/gtest.h>

#include "db/schema.h"
#include "testing/db_backends.h"
#include "testing/run_command.h"
#include "testing/zip_builder.h"

namespace pelmar {
namespace {

class ContactFilesCommandTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        db::SeedDemo(Book());
        Exec({"DELETE FROM SMS_ABGROUPMAPS", "DELETE FROM SMS_ABCONTACTS"});
    }

    std::string Log() const { return Folder().file("run.log"); }
    std::vector<std::string> Import(const std::string& file, std::vector<std::string> more) const {
        more.insert(more.begin(),
                    {file, "--remote", ConnectionString(), "--user", "1", "--log", Log(), "--to", "SFLD1"});
        return more;
    }
};

// A card with a mobile number and one without (every shape of a card: the reader's tests).
const char* kCards =
    "BEGIN:VCARD\r\nVERSION:4.0\r\nN:Kumar;Ravi;;;\r\nTEL;VALUE=uri;TYPE=\"cell,voice\":tel:98200-12345\r\n"
    "END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nN:Nomobile;Ned\r\nTEL;TYPE=HOME:111\r\nEND:VCARD\r\n";

TEST_P(ContactFilesCommandTest, CardsAreRecordsOfTheRunWithTheirOwnRejectsFile) {
    const std::string source = Folder().file("people.vcf");
    const std::string rejects = Folder().file("people.rejects.vcf");
    test::WriteFile(source, kCards);
    const std::string counts =
        "Total: 2\nImported: 1\nFailed: 1\nSkipped: 0\nLog: " + Log() + "\nRejects: " + rejects + "\n";
    test::ExpectRuns(
        Folder(), {PELMAR_BINARY, "import"},
        {
            {"told by what it holds", Import(source, {"--format", "auto"}), 1, counts,
             "pelmar import: reading " + source + " as vcard\n"},
            {"again, skipping duplicates", Import(source, {"--format", "vcard", "--duplicates", "skip"}), 1,
             "Total: 2\nImported: 0\nFailed: 1\nSkipped: 1\nLog: " + Log() + "\nRejects: " + rejects + "\n", ""},
            {"a delimiter", Import(source, {"--format", "vcard", "--delimiter", "tab"}), 2, "",
             "--delimiter does not apply to --format vcard"},
            {"a sheet of cards", Import(source, {"--format", "auto", "--sheet", "One"}), 2, "",
             "--sheet needs --format xlsx"},
        });
    EXPECT_EQ(Select("SELECT FNAME,LNAME,MOBILENO,FOLDER_ID FROM SMS_ABCONTACTS"),
              (test::Rows{{"Ravi", "Kumar", "9820012345", "1"}}));
    EXPECT_EQ(test::ReadFile(rejects),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nomobile;Ned\r\nTEL;TYPE=HOME:111\r\n"
              "X-PELMAR-REJECTED:line 6: MobileNumber \"\": missing\r\nEND:VCARD\r\n");

    // The export's formats, as their first bytes tell them.
    const std::string out = Folder().file("out");
    for (const auto& [format, begins] :
         {std::pair{"vcard", "BEGIN:VCARD\r\nVERSION:3.0\r\n"}, {"xlsx", "PK\x03\x04"}}) {
        std::vector<std::string> args = {PELMAR_BINARY, "export", out,     "--remote", ConnectionString(),
                                         "--user",      "1",      "--log", Log(),      "--format",
                                         format};
        if (std::string(format) == "vcard") args.insert(args.end(), {"--vcard-version", "3.0"});
        EXPECT_EQ(test::RunCommand(Folder(), args).status, 0) << format;
        EXPECT_TRUE(test::ReadFile(out).starts_with(begins)) << format;
    }
}

// A sheet's header and a row without a mobile number (cell types and dates: the reader's tests).
TEST_P(ContactFilesCommandTest, SheetRowsAreRecordsOfTheRunWithARejectsFile) {
    const std::string source = Folder().file("people.xlsx");
    const std::string rejects = Folder().file("people.rejects.csv");
    test::WriteFile(
        source, test::ZipBytes(test::WorkbookEntries(
                    {.sheets = {{"People", R"(<row r="1"><c r="A1" t="inlineStr"><is><t>First Name</t></is></c>)"
                                           R"(<c r="B1" t="inlineStr"><is><t>Mobile Phone</t></is></c></row>)"
                                           R"(<row r="2"><c r="A2" t="inlineStr"><is><t>Ann</t></is></c>)"
                                           R"(<c r="B2"><v>9820012345</v></c></row>)"
                                           R"(<row r="3"><c r="A3" t="inlineStr"><is><t>Bob</t></is></c></row>)"}}})));
    test::ExpectRuns(
        Folder(), {PELMAR_BINARY, "import"},
        {
            {"told by what it holds", Import(source, {"--format", "auto"}), 1,
             "Total: 2\nImported: 1\nFailed: 1\nSkipped: 0\nLog: " + Log() + "\nRejects: " + rejects + "\n",
             "pelmar import: reading " + source + " as xlsx\n"},
            {"a sheet it does not have", Import(source, {"--format", "xlsx", "--sheet", "Nope"}), 2, "",
             "cannot read " + source + ": "},
            {"a delimiter", Import(source, {"--format", "xlsx", "--delimiter", ";"}), 2, "",
             "--delimiter does not apply to --format xlsx"},
        });
    EXPECT_EQ(Select("SELECT FNAME,MOBILENO FROM SMS_ABCONTACTS"), (test::Rows{{"Ann", "9820012345"}}));
    EXPECT_EQ(test::ReadFile(rejects),
              "First Name,Mobile Phone,Row,Reason\r\nBob,,3,\"MobileNumber \"\"\"\": missing\"\r\n");
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ContactFilesCommandTest);

}  // namespace
}  // namespace pelmar
