#include <gtest/gtest.h>

#include <random>

#include "core/contact_field.h"
#include "core/xlsx_reader.h"
#include "core/xlsx_writer.h"
#include "core/xlsx_zip.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

using Contact = std::array<std::string, kContactFieldCount>;

// Texts of the shapes contacts hold, and of shapes that trouble a sheet:
// digits that look like numbers or dates, markup, escapes, blanks at the
// ends, line breaks, characters outside the first plane.
std::string RandomText(std::mt19937& random) {
    static const std::vector<std::string> pieces = {
        "Ann",     "O'Neil",     "Zo\u00EB",   "\u4E2D\u6587", "\U0001F600", "9820012345",   "0044",  "+91 98200 12345",
        "1e5",     "2020-01-31", "12/31/1999", "TRUE",         "=1+1",       "<b>&amp;</b>", "a,b;c", "\"quoted\"",
        "_x0041_", "_x005F_",    "_x00",       "\a",           "\x1F",       "\t",           "\r\n",  "\n",
        " ",       "  lead",     "trail  ",    "0.10",         "-0",         "#N/A",         "x",
    };
    std::string text;
    for (int n = std::uniform_int_distribution<int>(0, 4)(random); n > 0; --n)
        text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
    return text;
}

// The rows by their number; a row the sheet does not have is empty.
struct Collect : xlsx::SheetSink {
    void Extent(int32_t lastRow) override { extent = lastRow; }
    void Row(int32_t number, std::span<const std::string> cells) override {
        rows.resize(static_cast<std::size_t>(number), std::vector<std::string>(kContactFieldCount));
        rows.back().assign(cells.begin(), cells.end());
        rows.back().resize(std::max(cells.size(), std::size_t{kContactFieldCount}));
    }
    std::vector<std::vector<std::string>> rows;
    int32_t extent = 0;
};

TEST(XlsxRoundTrip, EveryGeneratedContactReadsBackAsTheTwentyTextsWritten) {
    test::TempDir folder;
    const std::string path = folder.file("contacts.xlsx");
    std::mt19937 random(20);
    std::vector<Contact> contacts(500);
    for (Contact& contact : contacts)
        for (std::string& field : contact) field = RandomText(random);
    contacts[7] = Contact{};  // no cells at all
    XlsxWriter writer(path);
    for (const Contact& contact : contacts) writer.AddRow(contact);
    writer.Close();

    Collect read;
    ReadXlsxSheet(path, {}, read);
    EXPECT_EQ(read.extent, 501);
    ASSERT_LE(read.rows.size(), contacts.size() + 1);
    read.rows.resize(contacts.size() + 1, std::vector<std::string>(kContactFieldCount));
    EXPECT_EQ(read.rows[0], std::vector<std::string>(kContactFieldNames.begin(), kContactFieldNames.end()));
    for (std::size_t i = 0; i < contacts.size(); ++i)
        EXPECT_EQ(read.rows[i + 1], std::vector<std::string>(contacts[i].begin(), contacts[i].end()))
            << "contact " << i;
}

std::string Part(const std::string& path, const std::string& part) {
    std::string text;
    xlsx::ZipArchive(path, {}).Read(part, [&](std::string_view piece) { text += piece; });
    return text;
}

TEST(XlsxRoundTrip, TheSheetHasABoldFrozenHeaderAndColumnsAsWideAsTheFirstRows) {
    test::TempDir folder;
    const std::string path = folder.file("contacts.xlsx");
    Contact wide{};
    wide[0] = std::string(30, 'W');
    wide[4] = std::string(200, 'A');
    Contact late{};
    late[1] = std::string(40, 'L');  // past the fitted rows: not counted
    {
        XlsxWriter writer(path);
        writer.AddRow(wide);
        for (int i = 0; i < XlsxWriter::kFittedRows; ++i) writer.AddRow(Contact{});
        writer.AddRow(late);
        writer.Close();
    }
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    // Frozen under the header; FirstName 30 + 2 wide, MiddleName its name's width, Address at most 60.
    const std::string sheet = Part(path, "xl/worksheets/sheet1.xml");
    for (const char* part : {R"(<pane ySplit="1" topLeftCell="A2" activePane="bottomLeft" state="frozen"/>)",
                             R"(<col min="1" max="1" width="32.7109375")", R"(<col min="2" max="2" width="12.7109375")",
                             R"(<col min="5" max="5" width="60.7109375")", R"(<c r="A1" s="1" t="inlineStr">)"})
        EXPECT_NE(sheet.find(part), std::string::npos) << part;
    EXPECT_NE(Part(path, "xl/styles.xml").find("<b/>"), std::string::npos);
}

}  // namespace
}  // namespace pelmar
