#include "forms/import_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "testing/form_fixture.h"
#include "testing/listed_rows.h"

namespace pelmar {
namespace {

using test::ListedRows;
using test::TakeShown;

class ImportFileTest : public test::FormTest {
protected:
    // Lists `bytes` into a form that still holds an earlier listing.
    ImportForm List(std::string_view bytes, const std::string& startRow = "1", int32_t option = DelimiterComma,
                    const std::string& other = "", int32_t lineCount = 1000000) {
        const std::string path = folder.file("source.csv");
        test::WriteFile(path, bytes);
        ImportForm form(session);
        form.lvwContacts.AddRow(1, "earlier");
        form.controls.cmdMappingEnabled = true;
        form.vars.SourceFile = " " + path + " ";  // trimmed before opening
        form.vars.SourceLineCount = lineCount;
        form.controls.txtStartFromRow = startRow;
        form.controls.optDelimeter = option;
        form.controls.txtOther = other;
        ImportFile(form);
        EXPECT_EQ(form.controls.cmdMappingEnabled, form.lvwContacts.RowCount() > 0);
        EXPECT_FALSE(form.controls.ProgressBar1.Visible());
        return form;
    }
};

TEST_F(ImportFileTest, ListsEveryLineFromTheStartRowCutToTheStartRowsColumns) {
    const struct {
        const char* name;
        std::string bytes, startRow;
        int32_t option;
        std::string other;
        int32_t columns;
        std::string rows;
    } cases[] = {
        {"header skipped", "Name,Mobile\r\n\"Ann\",98100\r\nBob", "2", DelimiterComma, "", 2,
         "CN2:Ann|98100 CN3:Bob| "},
        {"start row read as its number", "a\r\nb\r\nc", "02", DelimiterComma, "", 1, "CN2:b CN3:c "},
        {"short and long lines", "a,b,c\r\nd,e,f,g\r\nh\r\n,,", "1", DelimiterComma, "", 3,
         "CN1:a|b|c CN2:d|e|f CN3:h|| CN4:|| "},
        {"empty lines after the start row", "a;b\r\n\r\n\r\nc;d", "1", DelimiterSemicolon, "", 2,
         "CN1:a|b CN2:| CN3:| CN4:c|d "},
        {"empty start row", "\r\na,b\r\n", "1", DelimiterComma, "", 0, ""},
        {"quotes, spaces kept", "\"x\",\"y, \"z\",\"a,b\",\"\", b ", "1", DelimiterComma, "", 7,
         "CN1:x|| \"z\"||b\"|| b  "},
        {"line ends", "a,b\nc\rd,e\r\nf\r\r\n", "1", DelimiterComma, "", 2, "CN1:a|b\nc CN2:d|e CN3:f| CN4:| "},
        {"tab", "a\tb,c", "1", DelimiterTab, "", 2, "CN1:a|b,c "},
        {"space", "a b  c", "1", DelimiterSpace, "", 4, "CN1:a|b||c "},
        {"other is case-sensitive", "xAyaz", "1", DelimiterOther, "a", 2, "CN1:xAy|z "},
        {"other keeps its first character", "1b2a3", "1", DelimiterOther, " ab ", 2, "CN1:1b2|3 "},
        {"empty other is a blank", "p q", "1", DelimiterOther, "  ", 2, "CN1:p|q "},
        {"other may be any character",
         "a\xC2\xA7"
         "b\xC2\xA7",
         "1", DelimiterOther, "\xC2\xA7", 3, "CN1:a|b| "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const ImportForm form = List(c.bytes, c.startRow, c.option, c.other);
        EXPECT_EQ(std::to_string(form.lvwContacts.ColumnCount()) + " " + ListedRows(form.lvwContacts),
                  std::to_string(c.columns) + " " + c.rows);
    }
    EXPECT_EQ(TakeShown(*ui), "");
    EXPECT_FALSE(std::filesystem::exists(logFile));
}

TEST_F(ImportFileTest, EachFailureIsLoggedTheListingGoesOnAndOneMessageEndsIt) {
    const std::string kListingFailed = "16 An error has occurred while listing data.\r\nFor detail view log.\n";
    // A delimiter after 32,767 characters overflows; one after 32,766 does not.
    const std::string far(32767, 'x'), near(32766, 'x');
    std::string accents;
    for (int i = 0; i < 20000; ++i) accents += "\xC3\xA9";  // 40,000 bytes, 20,000 characters
    const struct {
        const char* name;
        std::string bytes, startRow;
        int32_t lineCount;
        std::string rows;
        std::size_t errors;
        int32_t number;
    } cases[] = {
        {"start row past the end", "a,b\r\nc,d\r\n", "3", 1000, "", 1, errnum::InputPastEndOfFile},
        {"delimiter past character 32,767",
         "a,b,c\r\n" + far + ",y,z\r\na," + far + ",z\r\n" + accents + ",q,r\r\n" + near + ",e,f", "1", 1000,
         "CN1:a|b|c CN3:a CN4:" + accents + "|q|r CN5:" + near + "|e|f ", 2, errnum::Overflow},
        {"progress past its maximum", "a\r\nb\r\nc\r\nd", "1", 2, "CN1:a CN2:b CN3:c CN4:d ", 2,
         errnum::InvalidPropertyValue},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(logFile);
        const ImportForm form = List(c.bytes, c.startRow, DelimiterComma, "", c.lineCount);
        EXPECT_EQ(ListedRows(form.lvwContacts), c.rows);
        EXPECT_EQ(TakeShown(*ui), kListingFailed);
        const auto lines = test::ReadLines(logFile);  // appended, without a time stamp
        ASSERT_EQ(lines.size(), c.errors);
        EXPECT_EQ(lines[0].rfind(
                      "Error occurred while listing data. Sub: ImportFile [Error " + std::to_string(c.number) + ":", 0),
                  0u)
            << lines[0];
    }
}

}  // namespace
}  // namespace pelmar
