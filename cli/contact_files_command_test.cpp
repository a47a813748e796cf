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

    // The columns named, a line per contact, oldest first.
    std::string Stored(const std::string& columns) {
        std::string text;
        for (const auto& row : Select("SELECT " + columns + " FROM SMS_ABCONTACTS ORDER BY ID", "null"))
            for (std::size_t i = 0; i < row.size(); ++i)
                text += (i ? "|" : "") + row[i] + (i + 1 < row.size() ? "" : "\n");
        return text;
    }
};

// Two versions' shapes and a card without a mobile number (every shape: the reader's tests).
const char* kCards =
    "\xEF\xBB\xBF\r\nbegin:vcard\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:M=FCller;J=F6rg\r\n"
    "TEL;CELL;PREF:0170 1234567\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ravi Kumar\r\nN:Kumar;Ravi;;;\r\nGENDER:M\r\nTEL;TYPE=home:022 111\r\n"
    "TEL;VALUE=uri;TYPE=\"cell,voice\":tel:98200-12345\r\nBDAY:19900131\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nomobile;Ned\r\nTEL;TYPE=HOME:111\r\nEND:VCARD\r\n";

TEST_P(ContactFilesCommandTest, CardsAreRecordsOfTheRunWithTheirOwnRejectsFile) {
    const std::string source = Folder().file("people.vcf");
    const std::string rejects = Folder().file("people.rejects.vcf");
    test::WriteFile(source, kCards);
    const std::string counts =
        "Total: 3\nImported: 2\nFailed: 1\nSkipped: 0\nLog: " + Log() + "\nRejects: " + rejects + "\n";
    test::ExpectRuns(
        Folder(), {PELMAR_BINARY, "import"},
        {
            {"told by what it holds", Import(source, {"--format", "auto"}), 1, counts,
             "pelmar import: reading " + source + " as vcard\n"},
            {"again, skipping duplicates, reported",
             Import(source, {"--format", "vcard", "--duplicates", "skip", "--dry-run", "--report", "json"}), 1,
             R"({"source":")" + source +
                 R"(","format":"vcard","dryRun":true,"counts":{"total":3,"imported":0,"failed":1,"skipped":2,)"
                 R"("updated":0,"committed":0},"log":")" +
                 Log() + R"(","badFile":null,"rejectsFile":")" + rejects +
                 R"(","problems":[{"record":3,"line":16,"kind":"rejected","field":"MobileNumber","value":"",)"
                 R"("reason":"missing"}]})"
                 "\n",
             ""},
            {"a delimiter", Import(source, {"--format", "vcard", "--delimiter", "tab"}), 2, "",
             "--delimiter does not apply to --format vcard"},
            {"a sheet of cards", Import(source, {"--format", "auto", "--sheet", "One"}), 2, "",
             "--sheet needs --format xlsx"},
        });
    EXPECT_EQ(Stored("FNAME,LNAME,MOBILENO,SEX,BIRTHDAY,FOLDER_ID"),
              "J\xC3\xB6rg|M\xC3\xBCller|01701234567||null|1\nRavi|Kumar|9820012345|M|1990-01-31|1\n");
    EXPECT_EQ(test::ReadFile(rejects),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nomobile;Ned\r\nTEL;TYPE=HOME:111\r\n"
              "X-PELMAR-REJECTED:line 16: MobileNumber \"\": missing\r\nEND:VCARD\r\n");

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

// A workbook as a person's spreadsheet writes it, 1904 dates and a row without a mobile number.
std::string HandWorkbook() {
    return test::ZipBytes(test::WorkbookEntries(
        {.sheets =
             {{"People",
               R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c>)"
               R"(<c r="C1" t="inlineStr"><is><t>Birthday</t></is></c></row>)"
               R"(<row r="2"><c r="A2" t="s"><v>2</v></c><c r="B2"><v>9820012345</v></c>)"
               R"(<c r="C2" s="1"><v>42369</v></c></row><row r="3"/>)"
               R"(<row r="4"><c r="A4" t="inlineStr"><is><t>Bob</t></is></c><c r="C4" s="1"><v>0</v></c></row>)"
               R"(<row r="5"><c r="A5" t="inlineStr"><is><t>Cy</t></is></c><c r="B5"><v>447946095800</v></c></row>)"}},
         .sharedStrings = R"(<si><t>First Name</t></si><si><t>Mobile Phone</t></si><si><t>Ann</t></si>)",
         .styles = R"(<cellXfs count="2"><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs>)",
         .date1904 = true}));
}

TEST_P(ContactFilesCommandTest, SheetRowsAreRecordsOfTheRunAndABadWorkbookIsRefusedWhole) {
    const std::string source = Folder().file("people.xlsx");
    const std::string rejects = Folder().file("people.rejects.csv");
    test::WriteFile(source, HandWorkbook());
    const std::string hostile = Folder().file("hostile.xlsx");
    std::vector<test::ZipEntry> entries = test::WorkbookEntries({.sheets = {{"S", ""}}});
    entries.push_back(test::Stored("../escape.xml", "<x/>"));
    test::WriteFile(hostile, test::ZipBytes(entries));
    test::ExpectRuns(
        Folder(), {PELMAR_BINARY, "import"},
        {
            {"told by what it holds", Import(source, {"--format", "auto"}), 1,
             "Total: 3\nImported: 2\nFailed: 1\nSkipped: 0\nLog: " + Log() + "\nRejects: " + rejects + "\n",
             "pelmar import: reading " + source + " as xlsx\n"},
            {"a sheet it does not have", Import(source, {"--format", "xlsx", "--sheet", "Nope"}), 2, "",
             "cannot read " + source + ": "},
            {"a path outside the archive", Import(hostile, {"--format", "xlsx"}), 2, "", "cannot read " + hostile},
            {"a delimiter", Import(source, {"--format", "xlsx", "--delimiter", ";"}), 2, "",
             "--delimiter does not apply to --format xlsx"},
        });
    EXPECT_EQ(Stored("FNAME,MOBILENO,BIRTHDAY"), "Ann|9820012345|2020-01-01\nCy|447946095800|null\n");
    EXPECT_EQ(
        test::ReadFile(rejects),
        "First Name,Mobile Phone,Birthday,Row,Reason\r\nBob,,1904-01-01,4,\"MobileNumber \"\"\"\": missing\"\r\n");
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ContactFilesCommandTest);

}  // namespace
}  // namespace pelmar
