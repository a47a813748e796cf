#include "import/text_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/error.h"
#include "testing/temp_dir.h"

namespace {

using pelmar::DecodeText;
using pelmar::LineReader;

TEST(DecodeText, ChoosesTheEncodingPerFile) {
    struct Case {
        const char* name;
        std::string bytes;
        std::string text;
    };
    const std::vector<Case> cases = {
        {"plain UTF-8 stays", "Jos\xC3\xA9,1", "Jos\xC3\xA9,1"},
        {"UTF-8 mark dropped", "\xEF\xBB\xBF" "a,b", "a,b"},
        {"UTF-16 LE", std::string("\xFF\xFE" "a\0\xE9\0\r\0\n\0", 10), "a\xC3\xA9\r\n"},
        {"UTF-16 BE", std::string("\xFE\xFF\0a\x20\xAC", 6), "a\xE2\x82\xAC"},
        {"UTF-16 surrogate pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80"},
        {"UTF-16 lone surrogate and odd byte", std::string("\xFF\xFE\x00\xD8" "a\0x", 7),
         "\xEF\xBF\xBD" "a\xEF\xBF\xBD"},
        {"invalid UTF-8 read as Windows-1252", "caf\xE9 \x80 \x9F", "caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8"},
        {"one bad byte turns the whole file", "\xC3\xA9\r\n\xE9", "\xC3\x83\xC2\xA9\r\n\xC3\xA9"},
        {"overlong form is not UTF-8", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
        {"unassigned 1252 byte keeps its code", "\x81", "\xC2\x81"},
        {"NUL dropped from UTF-8", std::string("a\0b", 3), "ab"},
        {"NUL dropped from 1252", std::string("\xE9\0", 2), "\xC3\xA9"},
        {"UTF-16 without mark reads as its ASCII", std::string("a\0,\0b\0", 6), "a,b"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeText(c.bytes), c.text) << c.name;
}

std::vector<std::string> Lines(std::string_view text) {
    std::vector<std::string> lines;
    LineReader reader(text);
    while (!reader.AtEnd()) lines.emplace_back(reader.ReadLine());
    return lines;
}

TEST(LineReader, EndsLinesAtCarriageReturnsOnly) {
    using L = std::vector<std::string>;
    EXPECT_EQ(Lines(""), L{});
    EXPECT_EQ(Lines("a"), L{"a"});
    EXPECT_EQ(Lines("a\r\n"), L{"a"});
    EXPECT_EQ(Lines("a\r\nb\r"), (L{"a", "b"}));
    EXPECT_EQ(Lines("a\nb\rc"), (L{"a\nb", "c"}));
    EXPECT_EQ(Lines("\r\r"), (L{"", ""}));
    EXPECT_EQ(Lines("a\r\n\r\n"), (L{"a", ""}));
    EXPECT_EQ(Lines("a\r\n\nb"), (L{"a", "\nb"}));
}

TEST(LineReader, ReadingPastTheLastLineIsAnError) {
    LineReader reader("a\r\n");
    reader.ReadLine();
    try {
        reader.ReadLine();
        FAIL() << "no error";
    } catch (const pelmar::Error& e) {
        EXPECT_EQ(e.Number(), pelmar::errnum::InputPastEndOfFile);
    }
}

TEST(PreviewLineCount, CountsEveryKindOfBreakPlusOne) {
    EXPECT_EQ(pelmar::PreviewLineCount(""), 1);
    EXPECT_EQ(pelmar::PreviewLineCount("a"), 1);
    EXPECT_EQ(pelmar::PreviewLineCount("a\r\n"), 2);
    EXPECT_EQ(pelmar::PreviewLineCount("a\nb"), 2);
    EXPECT_EQ(pelmar::PreviewLineCount("a\rb\r\nc\n"), 4);
    EXPECT_EQ(pelmar::PreviewLineCount("\n\r"), 3);
}

TEST(ReadTextFile, ReadsAndDecodesOrReportsTheFileError) {
    pelmar::testing::TempDir dir;
    const std::string big(300000, 'x');  // more than one read
    pelmar::testing::WriteFile(dir.file("big.txt"), "\xEF\xBB\xBF" + big);
    EXPECT_EQ(pelmar::ReadTextFile(dir.file("big.txt")), big);

    try {
        pelmar::ReadTextFile(dir.file("missing.txt"));
        FAIL() << "no error";
    } catch (const pelmar::Error& e) {
        EXPECT_EQ(e.Number(), pelmar::errnum::FileNotFound);
    }
    EXPECT_THROW(pelmar::ReadTextFile(dir.path().string()), pelmar::Error);
}

}  // namespace
