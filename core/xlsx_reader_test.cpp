#include "core/xlsx_reader.h"

#include <gtest/gtest.h>
#include <zip.h>

#include "common/error.h"
#include "core/rejects_file.h"
#include "testing/listed_rows.h"
#include "testing/recording_observer.h"
#include "testing/temp_dir.h"
#include "testing/thrown.h"
#include "testing/zip_builder.h"

namespace pelmar {
namespace {

using Rows = std::vector<std::pair<int32_t, std::vector<std::string>>>;

struct Collect : xlsx::SheetSink {
    void Row(int32_t number, std::span<const std::string> cells) override {
        rows.emplace_back(number, std::vector<std::string>(cells.begin(), cells.end()));
    }
    Rows rows;
};

// Writes the entries as libzip packs them.
void WriteWithLibzip(const std::string& path, const std::vector<test::ZipEntry>& entries) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    for (const test::ZipEntry& entry : entries) {
        zip_source_t* source = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
        ASSERT_GE(zip_file_add(archive, entry.name.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(archive), 0);
}

// Styles: 1 a built-in date, 2 a custom date, 3 a duration, 4 a built-in
// time, 5 a scientific number, 6 text.
const char* kStyles =
    R"(<numFmts count="3"><numFmt numFmtId="164" formatCode="dd/mm/yyyy;@"/><numFmt numFmtId="165" formatCode="[h]:mm:ss"/>)"
    R"(<numFmt numFmtId="166" formatCode="0.00E+00"/></numFmts>)"
    R"(<cellStyleXfs count="1"><xf numFmtId="14"/></cellStyleXfs>)"
    R"(<cellXfs count="7"><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/><xf numFmtId="165"/>)"
    R"(<xf numFmtId="21"/><xf numFmtId="166"/><xf numFmtId="49"/></cellXfs>)";

const char* kSharedStrings =
    R"(<si><t>FirstName</t></si><si><t>MobileNumber</t></si><si><t>Email</t></si>)"
    R"(<si><r><t>An</t></r><r><rPr><b/></rPr><t>n</t></r><rPh sb="0" eb="1"><t>ANN</t></rPh></si>)"
    R"(<si><t xml:space="preserve"> 12 Hill St_x000D_
Flat 2 </t></si>)";

// Row 1 the header; row 2 every kind of value; row 3 empty; row 4 a
// missing cell; rows 6 and 7 without numbers; row 9 the time values.
const char* kContacts =
    R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="s"><v>1</v></c><c r="C1" t="inlineStr"><is><t>Birthday</t></is></c>)"
    R"(<c r="D1" t="s"><v>2</v></c><c r="E1" t="inlineStr"><is><t>Hobby</t></is></c><c r="F1" t="inlineStr"><is><t>Age</t></is></c></row>)"
    R"(<row r="2"><c r="A2" t="s"><v>3</v></c><c r="B2"><v>9820012345</v></c><c r="C2" s="1"><v>43831</v></c>)"
    R"(<c r="D2" t="inlineStr"><is><t>ann@example.com</t></is></c><c r="E2" t="b"><v>1</v></c>)"
    R"(<c r="F2"><f>30+12</f><v>42</v></c><c r="G2" t="s"><v>4</v></c></row>)"
    R"(<row r="3" spans="1:6"><c r="A3" s="1"/><c r="B3" t="inlineStr"><is><t></t></is></c></row>)"
    R"(<row r="4"><c r="A4" t="inlineStr"><is><t>Bob</t></is></c><c r="C4" s="2"><v>21916.75</v></c>)"
    R"(<c r="D4" t="str"><f>LOWER("BOB@X.ORG")</f><v>bob@x.org</v></c><c r="E4" t="b"><v>0</v></c><c r="F4"><v>1.5E-3</v></c></row>)"
    R"(<row><c t="inlineStr"><is><t>Cy</t></is></c><c><v>447946095800</v></c><c t="d"><v>2001-02-03T04:05:06</v></c></row>)"
    R"(<row><c r="B6" t="e"><v>#N/A</v></c><c r="C6" s="6"><v>14</v></c><c r="D6" t="inlineStr"><is><t>0044</t></is></c></row>)"
    R"(<row r="9"><c r="A9" s="3"><v>1.25</v></c><c r="B9" s="4"><v>0.5</v></c><c r="C9" s="5"><v>123456</v></c><c r="E9"/><c r="XFD9"/></row>)";

const char* kOther = R"(<row r="3"><c r="B3" t="inlineStr"><is><t>only</t></is></c></row>)";

std::vector<test::ZipEntry> HandWorkbook(bool date1904) {
    return test::WorkbookEntries({.sheets = {{"Contacts", kContacts}, {"Other", kOther}},
                                  .sharedStrings = kSharedStrings,
                                  .styles = kStyles,
                                  .date1904 = date1904});
}

Rows ReadHand(bool date1904, const std::string& sheet = "") {
    test::TempDir folder;
    const std::string path = folder.file("hand.xlsx");
    WriteWithLibzip(path, HandWorkbook(date1904));
    Collect rows;
    ReadXlsxSheet(path, {.sheet = sheet}, rows);
    return rows.rows;
}

TEST(XlsxReader, ReadsEveryKindOfCellOfAHandWrittenWorkbookInBothDateSystems) {
    const Rows expected = {
        {1, {"FirstName", "MobileNumber", "Birthday", "Email", "Hobby", "Age"}},
        {2, {"Ann", "9820012345", "2020-01-01", "ann@example.com", "TRUE", "42", " 12 Hill St\r\nFlat 2 "}},
        {3, {}},
        {4, {"Bob", "", "1960-01-01", "bob@x.org", "FALSE", "0.0015"}},
        {5, {"Cy", "447946095800", "2001-02-03"}},
        {6, {"", "#N/A", "14", "0044"}},
        {9, {"1.25", "0.5", "123456"}},
    };
    EXPECT_EQ(ReadHand(false), expected);
    // The same serial days counted from 1904, as the workbook says.
    const Rows rows = ReadHand(true);
    ASSERT_GE(rows.size(), 4u);
    EXPECT_EQ(rows[1].second[2] + " " + rows[3].second[2], "2024-01-02 1964-01-02");
    // Another sheet by its name in any case.
    EXPECT_EQ(ReadHand(false, "oTHER"), (Rows{{3, {"", "only"}}}));
    EXPECT_EQ(test::ErrorOf([] { ReadHand(false, "Missing"); }),
              std::to_string(errnum::InvalidFileFormat) + ": The workbook has no sheet named \"Missing\".");
}

TEST(XlsxReader, NumbersColumnsByTheLettersOfTheirReference) {
    const std::string_view letters = "ABC";
    const std::pair<std::string_view, int32_t> cases[] = {
        {"A1", 1},       {"b7", 2},   {"Z9", 26},   {"AA1", 27}, {"AZ3", 52},
        {"XFD1", 16384}, {"XFE1", 0}, {"AAAA1", 0}, {"12", 0},   {letters.substr(0, 2), 28},  // not past the view
    };
    for (const auto& [reference, column] : cases) EXPECT_EQ(xlsx::ColumnOfReference(reference), column) << reference;
}

TEST(XlsxListing, ListsTheSheetAsTheCsvListingDoesRejectsRowsByNumberOrListsNothing) {
    test::TempDir folder;
    const std::string path = folder.file("hand.xlsx");
    WriteWithLibzip(path, HandWorkbook(false));
    RecordStore store;
    std::vector<std::string> header;
    test::RecordingObserver observer;
    ASSERT_TRUE(ListXlsxSource({.sourceFile = " " + path + " ", .startRow = 5}, store, header, observer));
    EXPECT_EQ(header, (std::vector<std::string>{"FirstName", "MobileNumber", "Birthday", "Email", "Hobby", "Age"}));
    EXPECT_EQ(test::ListedRows(store), "CN5:Cy|447946095800|2001-02-03 CN6:|#N/A|14|0044 CN9:1.25|0.5|123456 ");
    EXPECT_EQ(store.ColumnCount(), 6);
    EXPECT_FALSE(observer.bar.Visible());

    RejectsFile rejects(DefaultRejectsPath(path), path, header, true, store, U',', "Row");
    rejects.NotImported({.recordNumber = 2, .line = 6, .field = "MobileNumber", .value = "", .reason = "is empty"});
    EXPECT_EQ(test::ReadFile(folder.file("hand.rejects.csv")),
              "FirstName,MobileNumber,Birthday,Email,Hobby,Age,Row,Reason\r\n"
              ",#N/A,14,0044,,,6,\"MobileNumber \"\"\"\": is empty\"\r\n");

    // A workbook refused lists nothing, not even what was listed before, and says why.
    const std::string csv = folder.file("contacts.xlsx");
    test::WriteFile(csv, "FirstName,MobileNumber\r\nAnn,9820012345\r\n");
    EXPECT_FALSE(ListXlsxSource({.sourceFile = csv}, store, header, observer));
    EXPECT_EQ(store.RowCount(), 0);
    EXPECT_TRUE(header.empty());
    EXPECT_EQ(observer.errors, (std::vector<std::string>{"The file is not an xlsx workbook (no zip archive)."}));
    EXPECT_EQ(observer.messages, (std::vector<std::string>{"Cannot read the workbook '" + csv +
                                                           "': The file is not an xlsx workbook (no zip archive)."}));

    // Without a header the first row is a record like the others.
    ASSERT_TRUE(ListXlsxSource({.sourceFile = path, .sheet = "Other", .header = false}, store, header, observer));
    EXPECT_TRUE(header.empty());
    EXPECT_EQ(test::ListedRows(store), "CN3:|only ");
}

}  // namespace
}  // namespace pelmar
