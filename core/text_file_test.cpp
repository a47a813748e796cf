#include "core/text_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/error.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

TEST(DecodeText, ChoosesTheEncodingPerFile) {
    const struct {
        const char* name;
        std::string bytes;
        std::string text;
    } cases[] = {
        {"UTF-16 LE",
         std::string("\xFF\xFE"
                     "a\0\xE9\0\r\0\n\0",
                     10),
         "a\xC3\xA9\r\n"},
        {"UTF-16 BE", std::string("\xFE\xFF\0a\x20\xAC", 6), "a\xE2\x82\xAC"},
        {"UTF-16 surrogate pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80"},
        {"UTF-16 lone surrogate and odd byte",
         std::string("\xFF\xFE\x00\xD8"
                     "a\0x",
                     7),
         "\xEF\xBF\xBD"
         "a\xEF\xBF\xBD"},
        {"invalid UTF-8 read as Windows-1252", "caf\xE9 \x80 \x9F", "caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8"},
        {"one bad byte turns the whole file", "\xC3\xA9\r\n\xE9", "\xC3\x83\xC2\xA9\r\n\xC3\xA9"},
        {"overlong form is not UTF-8", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
        {"NUL dropped from 1252", std::string("\xE9\0", 2), "\xC3\xA9"},
        {"UTF-16 without mark reads as its ASCII", std::string("a\0,\0b\0", 6), "a,b"},
    };
    for (const auto& c : cases) EXPECT_EQ(DecodeText(c.bytes), c.text) << c.name;
}

TEST(ReadTextFile, ReadsAFileLargerThanOneReadWhole) {
    test::TempDir dir;
    const std::string big(300000, 'x');
    test::WriteFile(dir.file("big.txt"), "\xEF\xBB\xBF" + big);
    EXPECT_EQ(ReadTextFile(dir.file("big.txt")), big);
}

std::vector<std::string> LinesOf(const std::string& path, std::size_t chunkSize) {
    TextFileReader reader(path, chunkSize);
    std::vector<std::string> lines;
    while (!reader.AtEnd()) lines.emplace_back(reader.ReadLine());
    return lines;
}

TEST(TextFileReader, ReadsTheSameLinesWhateverTheChunkBoundaries) {
    const std::string euro = "\xE2\x82\xAC";
    const struct {
        const char* name;
        std::string bytes;
        std::vector<std::string> lines;
    } cases[] = {
        {"empty file", "", {}},
        {"line ends", "a\nb\rc\r\n\r\r\nd", {"a\nb", "c", "", "", "d"}},
        {"CR LF last", "ab\r\n", {"ab"}},
        {"CR last", "ab\r", {"ab"}},
        {"line longer than a chunk", "0123456789abcdef\r\nx", {"0123456789abcdef", "x"}},
        {"UTF-8 characters of every length",
         "\xC3\xA9" + euro + "\r\n\xF0\x9F\x98\x80" + euro,
         {"\xC3\xA9" + euro, "\xF0\x9F\x98\x80" + euro}},
        {"UTF-8 mark",
         "\xEF\xBB\xBF"
         "a\r\nb",
         {"a", "b"}},
        {"a bad byte late turns the whole file", "\xC3\xA9\r\nxyz\xE9", {"\xC3\x83\xC2\xA9", "xyz\xC3\xA9"}},
        {"a sequence cut by the end of the file", "ab\xE2\x82", {"ab\xC3\xA2\xE2\x80\x9A"}},
        {"NULs", std::string("a\0\r\0\nb\0", 7), {"a", "b"}},
        {"UTF-16 LE surrogate pair",
         std::string("\xFF\xFE"
                     "a\0\r\0\n\0\x3D\xD8\x00\xDE",
                     12),
         {"a", "\xF0\x9F\x98\x80"}},
        {"UTF-16 BE lone surrogates and odd byte",
         std::string("\xFE\xFF\xD8\x00\x00\r\xDC\x00\xD8\x00x", 11),
         {"\xEF\xBF\xBD", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"}},
    };
    test::TempDir dir;
    for (const auto& c : cases) {
        test::WriteFile(dir.file("source.txt"), c.bytes);
        for (const std::size_t chunkSize :
             {std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{5}, TextFileReader::kChunkSize}) {
            EXPECT_EQ(LinesOf(dir.file("source.txt"), chunkSize), c.lines) << c.name << ", chunk " << chunkSize;
        }
    }
}

TEST(TextFileReader, ReadingPastTheLastLineFails) {
    test::TempDir dir;
    test::WriteFile(dir.file("one.txt"), "a\r\n");
    TextFileReader reader(dir.file("one.txt"), 2);
    EXPECT_EQ(reader.ReadLine(), "a");
    try {
        reader.ReadLine();
        FAIL() << "read past the end";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), errnum::InputPastEndOfFile);
    }
}

}  // namespace
}  // namespace pelmar
