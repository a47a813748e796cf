#include "core/xlsx_styles.h"

#include <charconv>
#include <map>

#include "core/xlsx_values.h"
#include "core/xlsx_xml.h"

namespace pelmar::xlsx {
namespace {

// Far more than a spreadsheet program makes (64,000 cell formats, a few
// hundred number formats), and small enough to keep.
constexpr std::size_t kMostCellFormats = 1 << 20;
constexpr std::size_t kMostNumberFormats = 1 << 16;

int Number(std::string_view text) {
    int value = -1;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

// Collects the custom number formats and, in order, the number format of
// each cell format (the <xf>s of <cellXfs>, not those of the named styles).
class StylesHandler : public XmlHandler {
public:
    void Start(std::string_view name, const char** attributes) override {
        if (name == "numFmt") {
            if (customDates_.size() >= kMostNumberFormats) Refuse("The workbook has too many number formats.");
            customDates_[Number(Attribute(attributes, "numFmtId"))] =
                IsDateFormatCode(Attribute(attributes, "formatCode"));
        } else if (name == "cellXfs") {
            inCellFormats_ = true;
        } else if (name == "xf" && inCellFormats_) {
            if (formats_.size() >= kMostCellFormats) Refuse("The workbook has too many cell formats.");
            formats_.push_back(Number(Attribute(attributes, "numFmtId")));
        }
    }
    void End(std::string_view name) override {
        if (name == "cellXfs") inCellFormats_ = false;
    }
    void Text(std::string_view) override {}

    std::vector<bool> Dates() const {
        std::vector<bool> dates;
        dates.reserve(formats_.size());
        for (const int id : formats_) {
            // A workbook may define a built-in number again: its own wins.
            const auto custom = customDates_.find(id);
            dates.push_back(custom != customDates_.end() ? custom->second : IsBuiltInDateFormat(id));
        }
        return dates;
    }

private:
    std::map<int, bool> customDates_;
    std::vector<int> formats_;
    bool inCellFormats_ = false;
};

}  // namespace

void CellStyles::Load(const ZipArchive& archive, const std::string& part) {
    dates_.clear();
    if (part.empty()) return;
    StylesHandler handler;
    ParsePart(archive, part, handler);
    dates_ = handler.Dates();
}

}  // namespace pelmar::xlsx
