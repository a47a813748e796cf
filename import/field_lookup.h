#pragma once
// Reading a contact field of a listed record through the session's ColumnMap.
#include <cstdint>
#include <string>

#include "import/record_store.h"

namespace pelmar {

// The value of field `fieldName` (any case, blanks around it ignored) in row
// `row` (1-based) of the preview list; "" when no entry maps the field.
// Values over 50 characters come back trimmed and cut to 50.
std::string GetColumnValue(const RecordStore& lvwContacts, int32_t row,
                           const std::string& fieldName);

// Maps the first eight source columns onto FirstName .. Sex.
void SetDefaultMapping();

}  // namespace pelmar
