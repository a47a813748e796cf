// The standard CSV reader from raw bytes. Besides not failing: text fed in
// pieces of any size reads as the whole text does, and every record written
// back with CsvLine reads as the same fields.
//
// Input: one byte for the delimiter, one for the piece size, then the text.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/csv_reader.h"

namespace {

using namespace pelmar;
using Records = std::vector<std::vector<std::string>>;

char32_t Delimiter(uint8_t b) {
    static constexpr char32_t kDelimiters[] = {U',', U';', U'\t', U'|', U' ', U'\u00E9', U'\u20AC', U'\U0001F600'};
    return kDelimiters[b % std::size(kDelimiters)];
}

Records ReadInPieces(std::string_view text, char32_t delimiter, std::size_t piece) {
    Records records;
    const CsvParser::Sink keep = [&](const CsvRecord& record) {
        records.emplace_back(record.fields.begin(), record.fields.end());
    };
    CsvParser parser(delimiter);
    for (std::size_t at = 0; at < text.size(); at += piece) parser.Feed(text.substr(at, piece), keep);
    parser.Finish(keep);
    return records;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const char32_t delimiter = Delimiter(data[0]);
    const std::string_view text(reinterpret_cast<const char*>(data) + 2, size - 2);

    const Records whole = ParseCsv(text, delimiter);
    if (ReadInPieces(text, delimiter, 1 + data[1] % 16) != whole) std::abort();

    for (const auto& fields : whole) {
        // A lone empty field writes as an empty line, which says nothing.
        if (fields.size() == 1 && fields.front().empty()) continue;
        if (ParseCsv(CsvLine(fields, delimiter) + "\r\n", delimiter) != Records{fields}) std::abort();
    }
    return 0;
}
