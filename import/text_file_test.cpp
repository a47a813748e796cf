#include "import/text_file.h"

#include <gtest/gtest.h>

#include "testing/temp_dir.h"

namespace pelmar {
namespace {

TEST(DecodeText, ChoosesTheEncodingPerFile) {
    const struct {
        const char* name;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"UTF-16 LE", std::string("\xFF\xFE" "a\0\xE9\0\r\0\n\0", 10), "a\xC3\xA9\r\n"},
        {"UTF-16 BE", std::string("\xFE\xFF\0a\x20\xAC", 6), "a\xE2\x82\xAC"},
        {"UTF-16 surrogate pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80"},
        {"UTF-16 lone surrogate and odd byte", std::string("\xFF\xFE\x00\xD8" "a\0x", 7),
         "\xEF\xBF\xBD" "a\xEF\xBF\xBD"},
        {"invalid UTF-8 read as Windows-1252", "caf\xE9 \x80 \x9F", "caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8"},
        {"one bad byte turns the whole file", "\xC3\xA9\r\n\xE9", "\xC3\x83\xC2\xA9\r\n\xC3\xA9"},
        {"overlong form is not UTF-8", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
        {"NUL dropped from 1252", std::string("\xE9\0", 2), "\xC3\xA9"},
        {"UTF-16 without mark reads as its ASCII", std::string("a\0,\0b\0", 6), "a,b"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeText(c.bytes), c.text) << c.name;
}

TEST(ReadTextFile, ReadsAFileLargerThanOneReadWhole) {
    testing::TempDir dir;
    const std::string big(300000, 'x');
    testing::WriteFile(dir.file("big.txt"), "\xEF\xBB\xBF" + big);
    EXPECT_EQ(ReadTextFile(dir.file("big.txt")), big);
}

}  // namespace
}  // namespace pelmar
