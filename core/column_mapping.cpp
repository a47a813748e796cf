#include "core/column_mapping.h"

#include "common/error.h"
#include "common/text.h"

namespace pelmar {
namespace {

constexpr std::size_t kMaxValueChars = 50;

constexpr std::array<ContactField, 8> kDefaultFields = {
    ContactField::FirstName, ContactField::MiddleName,   ContactField::LastName,     ContactField::Email,
    ContactField::Address,   ContactField::MobileNumber, ContactField::Organisation, ContactField::Sex,
};

std::string_view TrimView(std::string_view text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsAscii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// Trimmed, upper-cased equality; plain ASCII names without building strings.
bool SameFieldName(std::string_view a, std::string_view b) {
    a = TrimView(a);
    b = TrimView(b);
    if (IsAscii(a) && IsAscii(b)) return EqualsNoCase(a, b);
    return UpperCase(a) == UpperCase(b);
}

FieldSource SourceAt(const std::string& positionText) {
    try {
        return {ToInt16(positionText), std::nullopt};
    } catch (...) {
        return {-1, CurrentErrorInfo()};
    }
}

}  // namespace

FieldSource FindFieldSource(const ColumnMap& map, std::string_view fieldName) {
    for (int n = 1; n <= ColumnMap::kEntries; ++n)
        if (SameFieldName(map[n].FieldName, fieldName)) return SourceAt(map[n].SourcePosition);
    return {};
}

ColumnMapping ColumnMapping::Resolve(const ColumnMap& map) {
    ColumnMapping mapping;
    for (const ContactField field : kContactFields)
        mapping.sources_[static_cast<std::size_t>(FieldIndex(field) - 1)] = FindFieldSource(map, FieldName(field));
    for (int n = 1; n <= ColumnMap::kEntries && !mapping.namesAnyField_; ++n)
        mapping.namesAnyField_ = !TrimView(map[n].FieldName).empty();
    return mapping;
}

ColumnMapping ColumnMapping::Default() {
    ColumnMapping mapping;
    for (std::size_t i = 0; i < kDefaultFields.size(); ++i) mapping.Map(kDefaultFields[i], static_cast<int16_t>(i));
    return mapping;
}

const FieldSource& ColumnMapping::Source(ContactField field) const {
    return sources_[static_cast<std::size_t>(FieldIndex(field) - 1)];
}

void ColumnMapping::Map(ContactField field, int16_t position) {
    sources_[static_cast<std::size_t>(FieldIndex(field) - 1)] = {position, std::nullopt};
    namesAnyField_ = true;
}

void SetDefaultMapping(ColumnMap& map) {
    for (std::size_t i = 0; i < kDefaultFields.size(); ++i)
        map[static_cast<int>(i) + 1] = {std::to_string(i), std::string(FieldName(kDefaultFields[i]))};
}

// Kept on purpose: docs/behaviour.md#values-over-50-characters-trimmed-and-cut
std::string_view ReadField(const RecordStore& rows, int32_t row, const FieldSource& source) {
    if (source.failure) throw Error(source.failure->Number, source.failure->Description, source.failure->Source);
    std::string_view value = rows.FieldAt(row, source.position);
    if (value.size() > kMaxValueChars && CharCount(value) > kMaxValueChars) {
        value = TrimView(value);
        value = value.substr(0, ByteLengthOfChars(value, kMaxValueChars));
    }
    return value;
}

void LookUpField(const RecordStore& rows, int32_t row, const FieldSource& source, const ErrorRecorder& record,
                 std::string& value) {
    value.clear();
    try {
        value.assign(ReadField(rows, row, source));
    } catch (...) {
        record(CurrentErrorInfo(), "Error occured while retrieving data from grid. Sub: GetColumnValue",
               LogStamp::DateTime);
    }
}

}  // namespace pelmar
