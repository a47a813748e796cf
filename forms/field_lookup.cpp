#include "forms/field_lookup.h"

#include "core/column_mapping.h"
#include "core/header_mapping.h"
#include "session/session_log.h"
#include "session/session_state.h"

namespace pelmar {

std::string GetColumnValue(const SessionState& session, const RecordStore& lvwContacts, int32_t row,
                           const std::string& fieldName) {
    std::string value;
    LookUpField(
        lvwContacts, row, FindFieldSource(session.ColumnMap, fieldName),
        [&](const ErrorInfo& error, const std::string& message, LogStamp stamp) {
            RecordSessionError(session, error, message, stamp);
        },
        value);
    return value;
}

void SetHeaderMapping(ColumnMap& map, const std::vector<std::string>& header) {
    map.Reset();
    int n = 1;
    for (const HeaderMatch& match : MapByHeader(header).matches)
        map[n++] = {std::to_string(match.column), std::string(FieldName(match.field))};
}

}  // namespace pelmar
