#pragma once
// The wizard's field lookup over a session's ColumnMap, for a field named
// in text: the one-off form of what the import run resolves once per run.
#include <cstdint>
#include <string>
#include <vector>

#include "core/column_map.h"
#include "core/record_store.h"

namespace pelmar {

struct SessionState;

// The value of field `fieldName` (any case, blanks around it ignored) in row
// `row` (1-based) of the preview list, as `session`'s ColumnMap maps it; ""
// when no entry maps the field. Values over 50 characters come back trimmed
// and cut to 50. A failure is recorded in the session's log and "" returned.
std::string GetColumnValue(const SessionState& session, const RecordStore& lvwContacts, int32_t row,
                           const std::string& fieldName);

// Maps the columns whose header names a contact field (header_mapping.h)
// in `map`, as the mapping dialog stores a mapping.
void SetHeaderMapping(ColumnMap& map, const std::vector<std::string>& header);

}  // namespace pelmar
