#pragma once
// The workbook's shared strings: the text of every string cell that refers
// to one by its index. Kept in one buffer, each string's end beside it, and
// counted against the limit of text held.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/xlsx_zip.h"

namespace pelmar::xlsx {

class SharedStrings {
public:
    // Reads the shared strings part `part`; an empty name leaves none.
    void Load(const ZipArchive& archive, const std::string& part, const Limits& limits);

    std::size_t Count() const noexcept { return ends_.size(); }
    // Refuses an index the table does not have.
    std::string_view At(std::size_t index) const;

    std::size_t MemoryUsage() const noexcept { return text_.capacity() + ends_.capacity() * sizeof(uint64_t); }

private:
    friend class SharedStringsHandler;
    std::string text_;
    std::vector<uint64_t> ends_;
};

// Gathers the text of a rich or plain string item (<si>, <is>) from its
// <t>s, leaving out the phonetic guides (<rPh>), no longer than a cell may be.
class StringItem {
public:
    explicit StringItem(uint32_t maxChars) : maxChars_(maxChars) {}
    // A new item, named `what` ("cell B7") when it is refused.
    void Begin(std::string what);
    void Start(std::string_view name);
    void End(std::string_view name);
    void Text(std::string_view text);
    // The item's text, escapes decoded; refuses one that is too long.
    std::string Take();

private:
    uint32_t maxChars_;
    std::string what_;
    std::string raw_;
    int inText_ = 0;
    int inPhonetic_ = 0;
};

// Refuses text of more characters than a cell may hold, as `what`.
void CheckCellLength(std::string_view text, uint32_t maxChars, const std::string& what);

}  // namespace pelmar::xlsx
