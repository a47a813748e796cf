#include "mapping/destination_fields.h"

#include "component/session_state.h"

namespace pelmar {

int16_t GetFieldIndex(std::string_view name) {
    for (std::size_t i = 1; i < DestinationFieldList.size(); ++i) {
        if (DestinationFieldList[i] == name) return static_cast<int16_t>(i);
    }
    return -1;
}

std::string GetMappedField(int16_t position) {
    const std::string key = std::to_string(position);
    const ColumnMap& map = Session().ColumnMap;
    for (int n = 1; n <= ColumnMap::kEntries; ++n) {
        if (map[n].SourcePosition == key) return map[n].FieldName;
    }
    return "";
}

}  // namespace pelmar
