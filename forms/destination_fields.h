#pragma once
// The mapping dialog's destination field list: "<ignore>" followed by the 20
// contact fields, a field's position being its index.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/column_map.h"
#include "core/contact_field.h"

namespace pelmar {

inline constexpr std::array<std::string_view, kContactFieldCount + 1> DestinationFieldList = [] {
    std::array<std::string_view, kContactFieldCount + 1> list{"<ignore>"};
    for (const ContactField field : kContactFields)
        list[static_cast<std::size_t>(FieldIndex(field))] = FieldName(field);
    return list;
}();

// Index 1 to 20 of the field named exactly `name` (case-sensitive, untrimmed),
// -1 for anything else, "<ignore>" and "" included. Never 0.
int16_t GetFieldIndex(std::string_view name);

// The field name of the first entry of `map` whose position is `position`,
// "" when none.
std::string GetMappedField(const ColumnMap& map, int16_t position);

}  // namespace pelmar
