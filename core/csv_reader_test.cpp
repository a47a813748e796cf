#include "core/csv_reader.h"

#include <gtest/gtest.h>

#include <random>

namespace pelmar {
namespace {

using Records = std::vector<std::vector<std::string>>;

TEST(CsvParser, ReadsRecordsAsOtherProgramsWriteThem) {
    const struct {
        const char* name;
        std::string text;
        char32_t delimiter;
        Records records;
    } cases[] = {
        {"LF", "a,b\nc,d\n", U',', {{"a", "b"}, {"c", "d"}}},
        {"CR LF, no final break", "a,b\r\nc,d", U',', {{"a", "b"}, {"c", "d"}}},
        {"CR", "a,b\rc,d\r", U',', {{"a", "b"}, {"c", "d"}}},
        {"quoted delimiter", "\"999 Super Way, Super, CA\",x\n", U',', {{"999 Super Way, Super, CA", "x"}}},
        {"doubled quotes", "\"ha \"\"ha\"\" ha\"\n", U',', {{"ha \"ha\" ha"}}},
        {"line breaks in quotes kept as written", "\"a\r\nb\nc\"\r\n", U',', {{"a\r\nb\nc"}}},
        {"empty fields and an empty quoted one", ",\"\",\n", U',', {{"", "", ""}}},
        {"quote inside an unquoted field stays", "5\" disk,x\n", U',', {{"5\" disk", "x"}}},
        {"text after a closing quote joins the field", "\"ab\"cd,x\n", U',', {{"abcd", "x"}}},
        {"quote left open takes the rest", "a,\"b\nc", U',', {{"a", "b\nc"}}},
        {"ragged rows", "a\nb,c,d\n", U',', {{"a"}, {"b", "c", "d"}}},
        {"empty line is a record of one empty field", "a\n\nb\n", U',', {{"a"}, {""}, {"b"}}},
        {"semicolon", "a;\"b;c\"\n", U';', {{"a", "b;c"}}},
        {"a delimiter beyond ASCII",
         "a\xC2\xA7"
         "b\xC2\xA7\xC2\xA8\n",
         U'\u00A7',
         {{"a", "b", "\xC2\xA8"}}},
    };
    for (const auto& c : cases) EXPECT_EQ(ParseCsv(c.text, c.delimiter), c.records) << c.name;
}

TEST(CsvParser, GivesTheSameRecordsAndLinesWhereverThePiecesEnd) {
    const std::string text = "h1\xC2\xA7h2\r\n\"x\r\ny\"\xC2\xA7z\r\n\r\nlast\xC2\xA7\"q\"\"\"";
    const auto read = [&](std::size_t pieceSize) {
        std::vector<std::pair<int32_t, std::vector<std::string>>> records;
        const CsvParser::Sink keep = [&](const CsvRecord& r) {
            records.emplace_back(r.line, std::vector<std::string>(r.fields.begin(), r.fields.end()));
        };
        CsvParser parser(U'\u00A7');
        for (std::size_t at = 0; at < text.size(); at += pieceSize) parser.Feed(text.substr(at, pieceSize), keep);
        parser.Finish(keep);
        return records;
    };
    // The record that starts on line 2 spans line 3.
    const decltype(read(1)) records = {{1, {"h1", "h2"}}, {2, {"x\r\ny", "z"}}, {4, {""}}, {5, {"last", "q\""}}};
    for (const std::size_t size : std::vector<std::size_t>{1, 2, 3, 4, 5, 6, 7, text.size()})
        EXPECT_EQ(read(size), records) << "pieces of " << size;
}

// Whatever a field holds, the line CsvLine writes reads back as the same fields.
TEST(CsvLine, ReadsBackAsTheFieldsItWasWrittenFrom) {
    const std::vector<std::string> alphabet = {
        "a",  "Z",  " ",    ",",        ";",        "\"",           "'",
        "\r", "\n", "\r\n", "\xC3\xA9", "\xD0\x96", "\xE6\x9D\xB1", "\xF0\x9F\x98\x80"};
    std::mt19937 random(11);
    for (int n = 0; n < 300; ++n) {
        std::vector<std::string> fields(1 + random() % 5);
        for (std::string& field : fields)
            for (std::size_t k = random() % 8; k > 0; --k) field += alphabet[random() % alphabet.size()];
        const char32_t delimiter = n % 2 ? U',' : U';';
        EXPECT_EQ(ParseCsv(CsvLine(fields, delimiter) + "\r\n", delimiter), Records{fields});
    }
}

}  // namespace
}  // namespace pelmar
