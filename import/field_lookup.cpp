#include "import/field_lookup.h"

#include "common/error.h"
#include "common/text.h"
#include "component/session_state.h"

namespace pelmar {

namespace {

constexpr std::size_t kMaxValueChars = 50;

std::string_view TrimView(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Trimmed, upper-cased equality. The lookup runs for every field of every
// record, so plain ASCII names are compared without building new strings.
bool SameFieldName(std::string_view a, std::string_view b) {
    a = TrimView(a);
    b = TrimView(b);
    if (IsAscii(a) && IsAscii(b)) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
        }
        return true;
    }
    return UpperCase(a) == UpperCase(b);
}

}  // namespace

std::string GetColumnValue(const RecordStore& lvwContacts, int32_t row, const std::string& fieldName) {
    std::string value;
    try {
        int16_t position = -1;
        const ColumnMap& map = Session().ColumnMap;
        for (int n = 1; n <= ColumnMap::kEntries; ++n) {
            if (SameFieldName(map[n].FieldName, fieldName)) {
                position = ToInt16(map[n].SourcePosition);
                break;
            }
        }

        if (position == 0) {
            value = lvwContacts.RowText(row);
        } else if (position > 0) {
            if (position <= lvwContacts.SubItemCount(row)) value = lvwContacts.SubItem(row, position);
        }

        if (value.size() > kMaxValueChars && CharCount(value) > kMaxValueChars) {
            value = Left(Trim(value), kMaxValueChars);
        }
    } catch (...) {
        const ErrorInfo info = CurrentErrorInfo();
        SessionState& session = Session();
        if (session.Logger) {
            try {
                session.Logger->WriteErrorLog(
                    session.LogFilePath, info,
                    "Error occured while retrieving data from grid. Sub: GetColumnValue", true, true);
            } catch (...) {
                // Nothing more can be done about a failing log; the caller
                // goes on with the value as it stood.
            }
        }
    }
    return value;
}

void SetDefaultMapping() {
    static constexpr const char* kFields[] = {"FirstName",    "MiddleName",   "LastName", "Email",
                                              "Address",      "MobileNumber", "Organisation", "Sex"};
    ColumnMap& map = Session().ColumnMap;
    for (int n = 1; n <= 8; ++n) map[n] = {std::to_string(n - 1), kFields[n - 1]};
}

}  // namespace pelmar
