// The vCard reader from raw bytes. Besides not failing: the text read in
// pieces of any size gives the cards the whole text gives, the file gives
// them too, and the rejects file written for every card reads back as the
// same cards.
//
// Input: one byte for the piece size, then the file's bytes.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_file.h"
#include "core/vcard_reader.h"
#include "core/vcard_rejects.h"

namespace {

using namespace pelmar;

struct Card {
    int32_t line;
    std::array<std::string, kContactFieldCount> fields;
    bool operator==(const Card&) const = default;
};

// A file in memory, named through /proc as any path would be.
class MemoryFile {
public:
    explicit MemoryFile(const char* name) : fd_(::memfd_create(name, 0)) {
        if (fd_ < 0) std::abort();
        path_ = "/proc/self/fd/" + std::to_string(fd_);
    }
    void Write(std::string_view bytes) const {
        if (::ftruncate(fd_, 0) != 0 ||
            ::pwrite(fd_, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size()))
            std::abort();
    }
    const std::string& Path() const { return path_; }

private:
    int fd_;
    std::string path_;
};

std::vector<Card> ReadAll(VcardReader&& reader) {
    std::vector<Card> cards;
    for (VcardCard card; reader.Next(card);) cards.push_back({card.line, card.fields});
    return cards;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    static const MemoryFile source("source");
    static const MemoryFile rejects("rejects");
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    source.Write(bytes);
    rejects.Write({});

    const std::string text = DecodeText(std::string(bytes));
    const std::vector<Card> whole = ReadAll(VcardReader(PiecesOf(text, text.size())));
    if (ReadAll(VcardReader(PiecesOf(text, 1 + data[0] % 16))) != whole) std::abort();
    if (ReadAll(VcardReader(source.Path())) != whole) std::abort();

    VcardRejectsFile file(rejects.Path(), source.Path());
    for (const Card& card : whole)
        file.NotImported(
            {.line = card.line, .field = "MobileNumber", .value = "x;y", .reason = "Rejected,\nfor a test"});
    const std::vector<Card> again = ReadAll(VcardReader(rejects.Path()));
    if (again.size() != whole.size()) std::abort();
    for (std::size_t i = 0; i < again.size(); ++i)
        if (again[i].fields != whole[i].fields) std::abort();
    return 0;
}
