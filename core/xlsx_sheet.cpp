#include "core/xlsx_sheet.h"

#include <charconv>
#include <limits>
#include <vector>

#include "core/xlsx_values.h"
#include "core/xlsx_xml.h"

namespace pelmar::xlsx {
namespace {

constexpr int32_t kMostColumns = 16384;  // XFD
constexpr std::size_t kCellOverhead = sizeof(std::string);

enum class CellType { Number, Shared, Inline, Text, Boolean, Error, Date };

CellType TypeOf(std::string_view type) {
    if (type == "s") return CellType::Shared;
    if (type == "inlineStr") return CellType::Inline;
    if (type == "str") return CellType::Text;
    if (type == "b") return CellType::Boolean;
    if (type == "e") return CellType::Error;
    if (type == "d") return CellType::Date;
    return CellType::Number;
}

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

template <typename T>
bool ParseWhole(std::string_view text, T& value) {
    text = Trimmed(text);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

// The row number that follows the letters of a reference ("T100001").
int32_t RowOfReference(std::string_view reference) {
    const std::size_t digits = reference.find_first_of("0123456789");
    int32_t row = 0;
    if (digits == std::string_view::npos || !ParseWhole(reference.substr(digits), row)) return 0;
    return row;
}

class SheetHandler : public XmlHandler {
public:
    SheetHandler(const WorkbookParts& parts, const SharedStrings& strings, const CellStyles& styles,
                 const Limits& limits, SheetSink& sink)
            : parts_(parts),
              strings_(strings),
              styles_(styles),
              limits_(limits),
              sink_(sink),
              inline_(limits.cellChars) {}

    void Start(std::string_view name, const char** attributes) override {
        if (inCell_) {
            StartInCell(name);
        } else if (name == "c" && inRow_) {
            StartCell(attributes);
        } else if (name == "row" && inData_) {
            StartRow(attributes);
        } else if (name == "sheetData") {
            inData_ = true;
        } else if (name == "dimension" && !inData_) {
            const std::string_view extent = Attribute(attributes, "ref");
            const int32_t last = RowOfReference(extent.substr(extent.find(':') + 1));
            if (last > 0) sink_.Extent(last);
        }
    }

    void End(std::string_view name) override {
        if (inCell_) {
            if (name == "c") {
                EndCell();
            } else if (inInline_) {
                if (name == "is")
                    inInline_ = false;
                else
                    inline_.End(name);
            } else if (name == "v") {
                inValue_ = false;
            }
        } else if (name == "row" && inRow_) {
            EndRow();
        } else if (name == "sheetData") {
            inData_ = false;
        }
    }

    void Text(std::string_view text) override {
        if (inInline_) {
            inline_.Text(text);
        } else if (inValue_) {
            value_.append(text);
            if (value_.size() > uint64_t{14} * limits_.cellChars + 14)
                CheckCellLength(value_, limits_.cellChars, "cell " + Reference());
        }
    }

private:
    void StartRow(const char** attributes) {
        const std::string_view r = Attribute(attributes, "r");
        int64_t number = int64_t{row_} + 1;
        if ((!r.empty() && !ParseWhole(r, number)) || number < 1 || number > std::numeric_limits<int32_t>::max())
            Refuse("The workbook's sheet has a row numbered \"" +
                   (r.empty() ? std::to_string(number) : std::string(r)) + "\".");
        if (number <= row_)
            Refuse("The workbook's sheet has its rows out of order (row " + std::to_string(number) + " after row " +
                   std::to_string(row_) + ").");
        row_ = static_cast<int32_t>(number);
        column_ = 0;
        rowBytes_ = 0;
        cells_.clear();
        inRow_ = true;
    }

    void EndRow() {
        inRow_ = false;
        sink_.Row(row_, cells_);
    }

    void StartCell(const char** attributes) {
        reference_ = Attribute(attributes, "r");
        int32_t column = column_ + 1;
        if (!reference_.empty()) {
            column = ColumnOfReference(reference_);
            if (column == 0) Refuse("The workbook's sheet has a cell named \"" + reference_ + "\".");
        }
        if (column <= column_ || column > kMostColumns)
            Refuse("The workbook's sheet has its cells out of order in row " + std::to_string(row_) + ".");
        column_ = column;
        type_ = TypeOf(Attribute(attributes, "t"));
        style_ = 0;
        ParseWhole(Attribute(attributes, "s"), style_);
        value_.clear();
        hasInline_ = false;
        inCell_ = true;
    }

    void StartInCell(std::string_view name) {
        if (inInline_) {
            inline_.Start(name);
        } else if (name == "v") {
            inValue_ = true;
        } else if (name == "is") {
            inInline_ = hasInline_ = true;
            inline_.Begin("cell " + Reference());
        }
    }

    void EndCell() {
        inCell_ = inValue_ = inInline_ = false;
        std::string text = CellText();
        if (text.empty()) return;
        CheckCellLength(text, limits_.cellChars, "cell " + Reference());
        rowBytes_ += text.size() + kCellOverhead * (static_cast<std::size_t>(column_) - cells_.size());
        if (rowBytes_ + sink_.Held() > limits_.heldBytes)
            Refuse("The workbook's sheet takes more than the " + std::to_string(limits_.heldBytes) +
                   " bytes of memory a listing may keep.");
        cells_.resize(static_cast<std::size_t>(column_ - 1));
        cells_.push_back(std::move(text));
    }

    std::string CellText() {
        if (hasInline_) return inline_.Take();
        switch (type_) {
            case CellType::Shared: {
                std::size_t index = 0;
                if (!ParseWhole(value_, index))
                    Refuse("The workbook's cell " + Reference() + " refers to no shared string.");
                return std::string(strings_.At(index));
            }
            case CellType::Inline:
            case CellType::Text:
            case CellType::Error: return DecodeEscapes(value_);
            case CellType::Boolean: {
                const std::string_view value = Trimmed(value_);
                return value == "1" ? "TRUE" : value == "0" ? "FALSE" : std::string(value);
            }
            case CellType::Date: return value_.substr(0, value_.find('T'));
            case CellType::Number: break;
        }
        if (value_.empty()) return {};
        double serial = 0;
        if (styles_.IsDate(style_) && ParseWhole(value_, serial))
            if (std::optional<std::string> date = SerialDateText(serial, parts_.date1904)) return *date;
        return NumberCellText(value_);
    }

    // The cell's reference as the sheet gives it, or as its place makes it.
    std::string Reference() const {
        if (!reference_.empty()) return reference_;
        std::string letters;
        for (int32_t column = column_; column > 0; column = (column - 1) / 26)
            letters.insert(letters.begin(), static_cast<char>('A' + (column - 1) % 26));
        return letters + std::to_string(row_);
    }

    const WorkbookParts& parts_;
    const SharedStrings& strings_;
    const CellStyles& styles_;
    const Limits& limits_;
    SheetSink& sink_;
    StringItem inline_;

    bool inData_ = false, inRow_ = false, inCell_ = false, inValue_ = false, inInline_ = false, hasInline_ = false;
    int32_t row_ = 0;
    int32_t column_ = 0;
    std::vector<std::string> cells_;
    std::size_t rowBytes_ = 0;
    std::string reference_;
    CellType type_ = CellType::Number;
    uint32_t style_ = 0;
    std::string value_;
};

}  // namespace

int32_t ColumnOfReference(std::string_view reference) {
    int32_t column = 0;
    std::size_t i = 0;
    for (; i < reference.size() && std::isalpha(static_cast<unsigned char>(reference[i])); ++i) {
        column = column * 26 + (std::toupper(static_cast<unsigned char>(reference[i])) - 'A' + 1);
        if (column > kMostColumns) return 0;
    }
    return column;
}

void ReadSheet(const ZipArchive& archive, const WorkbookParts& parts, const SharedStrings& strings,
               const CellStyles& styles, const Limits& limits, SheetSink& sink) {
    SheetHandler handler(parts, strings, styles, limits, sink);
    ParsePart(archive, parts.sheet, handler);
}

}  // namespace pelmar::xlsx
