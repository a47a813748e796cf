#include "forms/field_lookup.h"

#include "core/column_mapping.h"
#include "core/header_mapping.h"
#include "session/session_log.h"
#include "session/session_state.h"

namespace pelmar {

std::string GetColumnValue(const RecordStore& lvwContacts, int32_t row, const std::string& fieldName) {
    std::string value;
    LookUpField(lvwContacts, row, FindFieldSource(Session().ColumnMap, fieldName), RecordSessionError, value);
    return value;
}

void SetDefaultMapping() { SetDefaultMapping(Session().ColumnMap); }

void SetHeaderMapping(const std::vector<std::string>& header) {
    ColumnMap& map = Session().ColumnMap;
    map.Reset();
    int n = 1;
    for (const HeaderMatch& match : MapByHeader(header).matches)
        map[n++] = {std::to_string(match.column), std::string(FieldName(match.field))};
}

}  // namespace pelmar
