// The source listing from raw bytes: any encoding, any delimiter, any start
// row. Besides not failing, the preview's text (the whole file decoded at
// once) and the listing's lines (read a chunk at a time) must agree.
//
// Input: one byte for the delimiter, one for the start row, one for the
// reader's chunk size, then the file's bytes.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/listing.h"
#include "core/record_store.h"
#include "core/text_file.h"

namespace {

using namespace pelmar;

class QuietObserver final : public RunObserver {
public:
    void ShowMessage(const std::string&, int32_t) override {}
    void RecordError(const ErrorInfo&, const std::string&, LogStamp) noexcept override {}
    ProgressBar& Progress() override { return bar_; }

private:
    ProgressBar bar_;
};

// The source file: in memory, named through /proc as any path would be.
const std::string& SourcePath() {
    static const std::string path = [] {
        const int fd = ::memfd_create("source", 0);
        if (fd < 0) std::abort();
        return "/proc/self/fd/" + std::to_string(fd);
    }();
    return path;
}

void WriteSource(std::string_view bytes) {
    const int fd = std::stoi(SourcePath().substr(SourcePath().rfind('/') + 1));
    if (::ftruncate(fd, 0) != 0 || ::pwrite(fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
        std::abort();
}

// Any character the "Other" box can hold, and the four of the option buttons.
char32_t Delimiter(uint8_t b) {
    static constexpr char32_t kOthers[] = {U'\u00E9', U'\u20AC', U'\U0001F600', U'\uFFFD', U'\u0000'};
    if (b < 0x80) return b;
    return kOthers[b % (sizeof kOthers / sizeof kOthers[0])];
}

// Whole rows mostly, and what else the start-row box can give: fractions,
// 0, negatives, a number beyond every file.
double StartRow(uint8_t b) {
    if (b < 200) return b % 12;
    if (b < 240) return (b - 200) / 4.0;
    if (b < 250) return -(b - 240);
    return 1e12;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t cr = std::min(text.find('\r', at), text.size());
        lines.emplace_back(text.substr(at, cr - at));
        at = cr + (text.substr(cr, 2) == "\r\n" ? 2 : 1);
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 3, size - 3);
    WriteSource(bytes);

    EncodingChoice whole;
    const std::string preview = DecodeText(std::string(bytes), &whole);
    std::vector<std::string> read;
    TextFileReader reader(SourcePath(), 1 + data[2] % 64);
    while (!reader.AtEnd()) read.emplace_back(reader.ReadLine());
    if (read != SplitLines(preview) || reader.Choice().reason != whole.reason) std::abort();

    RecordStore list;
    QuietObserver observer;
    ListSource({.sourceFile = SourcePath(),
                .delimiter = Delimiter(data[0]),
                .startRow = StartRow(data[1]),
                .sourceLineCount = PreviewLineCount(preview)},
               list, observer);
    if (static_cast<std::size_t>(list.RowCount()) > read.size()) std::abort();
    return 0;
}
