#include "forms/field_lookup.h"

#include "core/column_mapping.h"
#include "session/session_log.h"
#include "session/session_state.h"

namespace pelmar {

std::string GetColumnValue(const RecordStore& lvwContacts, int32_t row, const std::string& fieldName) {
    std::string value;
    LookUpField(lvwContacts, row, FindFieldSource(Session().ColumnMap, fieldName), RecordSessionError, value);
    return value;
}

void SetDefaultMapping() { SetDefaultMapping(Session().ColumnMap); }

}  // namespace pelmar
