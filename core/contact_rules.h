#pragma once
// One listed record turned into a contact: each field read through the
// column mapping and normalised (apostrophes doubled, the mobile prefix, the
// e-mail check, Sex upper-cased, Age a number), then the four rules that
// reject a record, in their order.
#include <cstdint>
#include <optional>
#include <string>

#include "common/error_info.h"
#include "core/column_mapping.h"
#include "core/contact_record.h"
#include "core/record_store.h"

namespace pelmar {

// The prefix put in front of mobile numbers: the prefix box's trimmed text,
// and whether it goes only in front of numbers that do not begin with it.
struct MobilePrefix {
    std::string text;
    bool onlyIfNotPresent = false;
};

// Reads record `recordNumber` (1-based) into `record`, member by member, so
// that a failure part-way (an Age beyond 32 bits) leaves what was read; the
// members after it keep what they held. The field lookup and the e-mail check
// record their own failures with `recorder`.
void ReadContactRecord(const RecordStore& rows, const ColumnMapping& mapping, int32_t recordNumber,
                       const MobilePrefix& prefix, const ErrorRecorder& recorder, ContactRecord& record);

// The log line of the first rule the record breaks, or nothing when accepted.
std::optional<std::string> ValidateContactRecord(const ContactRecord& record, int32_t recordNumber);

}  // namespace pelmar
