#include "core/text_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <optional>
#include <vector>

#include "common/error.h"
#include "common/file.h"
#include "testing/temp_dir.h"
#include "testing/thrown.h"

namespace pelmar {
namespace {

std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes;
    for (const char16_t unit : text) {
        const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? std::string{high, low} : std::string{low, high};
    }
    return bytes;
}

std::vector<std::string> LinesOf(const std::string& path, std::size_t chunkSize) {
    TextFileReader reader(path, chunkSize);
    std::vector<std::string> lines;
    while (!reader.AtEnd()) lines.emplace_back(reader.ReadLine());
    return lines;
}

using Reason = EncodingChoice::Reason;

// The preview decodes a whole file at once and the listing reads it a chunk
// at a time: both must give the same text, cut into lines at CR or CR LF.
TEST(TextFile, DecodesEachEncodingAlikeWholeOrWhateverTheChunkBoundaries) {
    const std::string euro = "\xE2\x82\xAC";
    const std::u16string ivan = u"\u0418\u0432\u0430\u043D,79\r\n\u041F\u0451\u0442\u0440";
    const std::string ivanUtf8 = "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD,79\r\n\xD0\x9F\xD1\x91\xD1\x82\xD1\x80";
    const struct {
        const char* name;
        std::string bytes;
        std::string text;
        Reason reason;
        int64_t firstInvalidLine = 0;
    } cases[] = {
        {"empty file", "", "", Reason::Utf8},
        {"line ends; a lone LF ends no line", "a\nb\rc\r\n\r\r\nd", "a\nb\rc\r\n\r\r\nd", Reason::Utf8},
        {"CR last", "ab\r", "ab\r", Reason::Utf8},
        {"UTF-8 characters of every length", "\xC3\xA9" + euro + "\r\n\xF0\x9F\x98\x80",
         "\xC3\xA9" + euro + "\r\n\xF0\x9F\x98\x80", Reason::Utf8},
        {"UTF-16 LE", std::string("\xFF\xFE\x61\0\xE9\0\r\0\n\0", 10), "a\xC3\xA9\r\n", Reason::Mark},
        {"UTF-16 BE", std::string("\xFE\xFF\0a\x20\xAC", 6), "a" + euro, Reason::Mark},
        {"UTF-16 surrogate pair", std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6), "\xF0\x9F\x98\x80", Reason::Mark},
        {"UTF-16 last code point", std::string("\xFF\xFE\xFF\xDB\xFF\xDF", 6), "\xF4\x8F\xBF\xBF", Reason::Mark},
        {"UTF-16 lone surrogate and odd byte", std::string("\xFF\xFE\x00\xD8\x61\0x", 7),
         "\xEF\xBF\xBD\x61\xEF\xBF\xBD", Reason::Mark},
        {"UTF-16 BE lone surrogates and odd byte", std::string("\xFE\xFF\xD8\x00\x00\r\xDC\x00\xD8\x00x", 11),
         "\xEF\xBF\xBD\r\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD", Reason::Mark},
        {"UTF-16 LE without mark", Utf16(ivan, false), ivanUtf8, Reason::ZeroBytes},
        {"UTF-16 BE without mark", Utf16(ivan, true), ivanUtf8, Reason::ZeroBytes},
        {"ASCII in UTF-16 without mark", std::string("a\0,\0b\0", 6), "a,b", Reason::ZeroBytes},
        {"NULs on both sides are dropped", std::string("a\0\0b\r\xC3\xA9", 7), "ab\r\xC3\xA9", Reason::Utf8},
        {"NULs inside a line end", std::string("a\0\r\0\nb\0", 7), "a\r\nb", Reason::Utf8},
        {"a stray byte keeps UTF-8", "Name\r\nM\xC3\xB3nica,98\r\nAn\xE9,99\r\nZo\xC3\xAB",
         "Name\r\nM\xC3\xB3nica,98\r\nAn\xEF\xBF\xBD,99\r\nZo\xC3\xAB", Reason::MostlyUtf8, 3},
        {"a cut sequence is one replacement; a lone LF ends no line", "a\nb\xC3\xA9\r\xE2\x82x\xC3\xA9",
         "a\nb\xC3\xA9\r\xEF\xBF\xBDx\xC3\xA9", Reason::MostlyUtf8, 2},
        {"a sequence cut by the end of a UTF-8 file", "\xC3\xA9\xC3\xA9\xE2\x82", "\xC3\xA9\xC3\xA9\xEF\xBF\xBD",
         Reason::MostlyUtf8, 1},
        {"a sequence cut by the end of the file", "ab\xE2\x82", "ab\xC3\xA2\xE2\x80\x9A", Reason::NotUtf8, 1},
        {"invalid UTF-8 read as Windows-1252", "caf\xE9 \x80 \x9F", "caf\xC3\xA9 \xE2\x82\xAC \xC5\xB8",
         Reason::NotUtf8, 1},
        {"more bad bytes than UTF-8 characters", "\xC3\xA9\r\n\xE9\xE8", "\xC3\x83\xC2\xA9\r\n\xC3\xA9\xC3\xA8",
         Reason::NotUtf8, 2},
        {"1252 at the edges of its table", "\x80\x9F\xA0\xFF", "\xE2\x82\xAC\xC5\xB8\xC2\xA0\xC3\xBF", Reason::NotUtf8,
         1},
        {"overlong form is not UTF-8", "\xC0\xAF", "\xC3\x80\xC2\xAF", Reason::NotUtf8, 1},
        {"NULs dropped from 1252", std::string("\xE9\0\0", 3), "\xC3\xA9", Reason::NotUtf8, 1},
        {"UTF-8 mark", "\xEF\xBB\xBF\xC3\xA9", "\xC3\xA9", Reason::Mark},
        {"CRs counted eight ASCII bytes at a time", "1234\r\n78\r\r\n\r\n5678\r\nab\xE9",
         "1234\r\n78\r\r\n\r\n5678\r\nab\xC3\xA9", Reason::NotUtf8, 6},
    };
    test::TempDir dir;
    const std::string path = dir.file("source.txt");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EncodingChoice choice;
        EXPECT_EQ(DecodeText(c.bytes, &choice), c.text);
        EXPECT_EQ(choice.reason, c.reason);
        EXPECT_EQ(choice.firstInvalidLine, c.firstInvalidLine);
        EXPECT_EQ(NoticeOf(choice, "f").has_value(), c.reason != Reason::Utf8 && c.reason != Reason::Mark);
        std::vector<std::string> lines;
        for (std::size_t at = 0; at < c.text.size();) {
            const std::size_t cr = std::min(c.text.find('\r', at), c.text.size());
            lines.push_back(c.text.substr(at, cr - at));
            at = cr + (c.text.compare(cr, 2, "\r\n") == 0 ? 2 : 1);
        }
        test::WriteFile(path, c.bytes);
        for (const std::size_t chunkSize : {std::size_t{1}, std::size_t{2}, std::size_t{3}, TextFileReader::kChunkSize})
            EXPECT_EQ(LinesOf(path, chunkSize), lines) << "chunk " << chunkSize;
        EXPECT_EQ(TextFileReader(path, 3).Choice().reason, c.reason);
    }
}

TEST(PreviewLineCount, CountsLinesEndedByCrLfCrOrLf) {
    const struct {
        const char* text;
        int32_t lines;
    } cases[] = {{"", 1}, {"a", 1}, {"a\r\n", 2}, {"a\rb\nc", 3}, {"\r\r\n\n", 4}, {"a\n\r", 3}, {"\r", 2}};
    for (const auto& c : cases) EXPECT_EQ(PreviewLineCount(c.text), c.lines) << c.text;
}

TEST(ReadTextFile, ReadsAFileLargerThanOneReadWhole) {
    test::TempDir dir;
    const std::string big(300000, 'x');
    test::WriteFile(dir.file("big.txt"), "\xEF\xBB\xBF" + big);
    EXPECT_EQ(ReadTextFile(dir.file("big.txt")), big);
}

// A text stands for its file only when the file's time cannot hide a later
// write.
TEST(ReadTextFile, SaysTheFileSettledWhenItsBytesAreOld) {
    test::TempDir dir;
    const std::string path = dir.file("a.txt");
    test::WriteFile(path, "a");
    std::optional<File::Stamp> settled = File::Stamp{};
    EXPECT_EQ(ReadTextFile(path, nullptr, &settled), "a");
    EXPECT_FALSE(settled) << "written just now";
    const auto now = std::filesystem::file_time_type::clock::now();
    std::filesystem::last_write_time(path, now - std::chrono::seconds(3));
    ReadTextFile(path, nullptr, &settled);
    ASSERT_TRUE(settled);
    EXPECT_EQ(settled, StampOf(path));
}

TEST(TextFileReader, ReadingPastTheLastLineFails) {
    test::TempDir dir;
    test::WriteFile(dir.file("one.txt"), "a\r\n");
    TextFileReader reader(dir.file("one.txt"), 2);
    EXPECT_EQ(reader.ReadLine(), "a");
    EXPECT_EQ(test::ErrorNumberOf([&] { reader.ReadLine(); }), errnum::InputPastEndOfFile);
}

}  // namespace
}  // namespace pelmar
