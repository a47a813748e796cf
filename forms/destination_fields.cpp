#include "forms/destination_fields.h"

namespace pelmar {

int16_t GetFieldIndex(std::string_view name) {
    const auto field = FieldNamed(name);
    return field ? static_cast<int16_t>(FieldIndex(*field)) : int16_t{-1};
}

std::string GetMappedField(const ColumnMap& map, int16_t position) {
    const std::string key = std::to_string(position);
    for (int n = 1; n <= ColumnMap::kEntries; ++n) {
        if (map[n].SourcePosition == key) return map[n].FieldName;
    }
    return "";
}

}  // namespace pelmar
