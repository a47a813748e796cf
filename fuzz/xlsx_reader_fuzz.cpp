// The sheet reader from raw bytes. Besides not failing, a workbook it reads
// gives rows in rising order, each ending on a cell that is not empty,
// within the sheet's columns and a cell's length; any other outcome is a
// refusal (error 321) or, for a file that cannot be opened, a file error.
//
// Input: one byte of switches, then either a whole archive (switch 1) or
// the XML of the sheet, the shared strings and the styles separated by
// "\n====\n", stored in a workbook whose other parts are well made, so that
// the fuzzer works on the XML rather than on zip checksums. Switch 2 counts
// dates from 1904, switch 4 names the sheet ("s") instead of taking the first.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "core/xlsx_reader.h"
#include "core/xlsx_values.h"
#include "testing/zip_builder.h"

namespace {

using namespace pelmar;

class CheckedRows final : public xlsx::SheetSink {
public:
    void Row(int32_t number, std::span<const std::string> cells) override {
        if (number <= last_ || cells.size() > 16384 || (!cells.empty() && cells.back().empty())) std::abort();
        for (const std::string& cell : cells) {
            if (xlsx::CountChars(cell) > 32767) std::abort();
            held_ += cell.size();
        }
        last_ = number;
    }
    std::size_t Held() const override { return held_; }

private:
    int32_t last_ = 0;
    std::size_t held_ = 0;
};

std::string Workbook(std::string_view text, bool date1904) {
    std::vector<std::string_view> parts;
    for (std::size_t at = 0;;) {
        const std::size_t next = text.find("\n====\n", at);
        parts.push_back(text.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
        if (next == std::string_view::npos || parts.size() == 3) break;
        at = next + 6;
    }
    parts.resize(3);
    std::vector<test::ZipEntry> entries = test::WorkbookEntries(
        {.sheets = {{"S", ""}}, .sharedStrings = std::string(), .styles = std::string(), .date1904 = date1904});
    for (test::ZipEntry& entry : entries) {
        if (entry.name == "xl/worksheets/sheet1.xml") entry = test::Stored(entry.name, parts[0]);
        if (entry.name == "xl/sharedStrings.xml") entry = test::Stored(entry.name, parts[1]);
        if (entry.name == "xl/styles.xml") entry = test::Stored(entry.name, parts[2]);
    }
    return test::ZipBytes(entries);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t switches = data[0];
    const std::string_view rest(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::string bytes = (switches & 1) ? std::string(rest) : Workbook(rest, switches & 2);
    // Small limits, so that a run stays quick whatever the input claims.
    const XlsxReadOptions options{.sheet = (switches & 4) ? "s" : "",
                                  .limits = {.partBytes = 1 << 20, .heldBytes = 16 << 20}};
    CheckedRows rows;
    try {
        ReadXlsxSheetFromBytes(bytes, options, rows);
    } catch (const Error& e) {
        if (e.Number() != errnum::InvalidFileFormat) std::abort();
    }
    return 0;
}
