#pragma once
// The column mapping as the import reads it: for each contact field, the
// column of the listed rows that it comes from. It is resolved from
// ColumnMap's entries once, the way the field lookup searches them, so that
// reading a record costs one step per field.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/error_info.h"
#include "core/column_map.h"
#include "core/contact_field.h"
#include "core/record_store.h"

namespace pelmar {

// Where a field is read from: the row's text (0), its sub-item p (p >= 1), or
// nowhere (below 0). An entry whose position is not a 16-bit number leaves a
// failure that every read of the field meets.
struct FieldSource {
    int16_t position = -1;
    std::optional<ErrorInfo> failure;
};

// The source of the field named `fieldName` (any case, blanks around it
// ignored): the first entry of `map`, 1 to 21, whose field name matches.
FieldSource FindFieldSource(const ColumnMap& map, std::string_view fieldName);

class ColumnMapping {
public:
    ColumnMapping() = default;  // nothing mapped

    static ColumnMapping Resolve(const ColumnMap& map);
    // The first eight columns onto FirstName .. Sex.
    static ColumnMapping Default();

    const FieldSource& Source(ContactField field) const;
    void Map(ContactField field, int16_t position);
    // Whether any entry named a destination field at all (a name that is not
    // blank, known or not): with none, the run takes the default mapping.
    bool NamesAnyField() const noexcept { return namesAnyField_; }

private:
    std::array<FieldSource, kContactFieldCount> sources_{};
    bool namesAnyField_ = false;
};

// Writes the default mapping into entries 1 to 8 of `map`; the others stay.
void SetDefaultMapping(ColumnMap& map);

// The value of a field in row `row` (1-based) of `rows`, where the record
// store holds it: "" when the field is not mapped or the row is too short; a
// value over 50 characters comes back trimmed and cut to 50. Throws for a row
// outside the list and for a source that failed to resolve.
std::string_view ReadField(const RecordStore& rows, int32_t row, const FieldSource& source);

// The field lookup: ReadField into `value`, with its own failure path. A
// failure is handed to `record` and the value is "", as it stood when the
// failure struck.
void LookUpField(const RecordStore& rows, int32_t row, const FieldSource& source, const ErrorRecorder& record,
                 std::string& value);

}  // namespace pelmar
