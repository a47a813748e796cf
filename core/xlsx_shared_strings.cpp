#include "core/xlsx_shared_strings.h"

#include "core/xlsx_values.h"
#include "core/xlsx_xml.h"

namespace pelmar::xlsx {

void CheckCellLength(std::string_view text, uint32_t maxChars, const std::string& what) {
    if (text.size() > maxChars && CountChars(text) > maxChars)
        Refuse("The workbook's " + what + " holds more than " + std::to_string(maxChars) + " characters.");
}

void StringItem::Begin(std::string what) {
    what_ = std::move(what);
    raw_.clear();
    inText_ = inPhonetic_ = 0;
}

void StringItem::Start(std::string_view name) {
    if (name == "rPh") ++inPhonetic_;
    if (name == "t") ++inText_;
}

void StringItem::End(std::string_view name) {
    if (name == "rPh" && inPhonetic_ > 0) --inPhonetic_;
    if (name == "t" && inText_ > 0) --inText_;
}

void StringItem::Text(std::string_view text) {
    if (inText_ == 0 || inPhonetic_ > 0) return;
    raw_.append(text);
    // An escape is seven bytes for one UTF-16 unit: text this long is too
    // long however it decodes, and need not be kept to be refused.
    if (raw_.size() > uint64_t{14} * maxChars_ + 14) CheckCellLength(raw_, maxChars_, what_);
}

std::string StringItem::Take() {
    std::string text = DecodeEscapes(raw_);
    raw_.clear();
    CheckCellLength(text, maxChars_, what_);
    return text;
}

class SharedStringsHandler : public XmlHandler {
public:
    SharedStringsHandler(SharedStrings& table, const Limits& limits)
            : table_(table), limits_(limits), item_(limits.cellChars) {}

    void Start(std::string_view name, const char**) override {
        if (name == "si") {
            inItem_ = true;
            item_.Begin("shared string " + std::to_string(table_.ends_.size()));
        }
        if (inItem_) item_.Start(name);
    }
    void End(std::string_view name) override {
        if (!inItem_) return;
        item_.End(name);
        if (name != "si") return;
        inItem_ = false;
        table_.text_ += item_.Take();
        table_.ends_.push_back(table_.text_.size());
        if (table_.MemoryUsage() > limits_.heldBytes)
            Refuse("The workbook's shared strings take more than " + std::to_string(limits_.heldBytes) +
                   " bytes of memory.");
    }
    void Text(std::string_view text) override {
        if (inItem_) item_.Text(text);
    }

private:
    SharedStrings& table_;
    const Limits& limits_;
    StringItem item_;
    bool inItem_ = false;
};

void SharedStrings::Load(const ZipArchive& archive, const std::string& part, const Limits& limits) {
    text_.clear();
    ends_.clear();
    if (part.empty()) return;
    SharedStringsHandler handler(*this, limits);
    ParsePart(archive, part, handler);
}

std::string_view SharedStrings::At(std::size_t index) const {
    if (index >= ends_.size())
        Refuse("The workbook's sheet refers to shared string " + std::to_string(index) + ", which it does not have.");
    const uint64_t begin = index == 0 ? 0 : ends_[index - 1];
    return std::string_view(text_).substr(begin, ends_[index] - begin);
}

}  // namespace pelmar::xlsx
