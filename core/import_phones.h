#pragma once
// The mobile numbers of an import run checked against the numbering plans,
// when its options ask for it: each record's region (its CountryCode's, else
// the run's), its number parsed ahead of the run on a second thread, and what
// the record becomes: its numbers in E.164 and its calling code, or the
// reason it is rejected.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/column_mapping.h"
#include "core/contact_record.h"
#include "core/phone_counts.h"
#include "core/phone_parse_ahead.h"
#include "core/record_problem.h"
#include "core/record_store.h"

namespace pelmar {

struct ImportOptions;

class ImportPhones {
public:
    explicit ImportPhones(const ImportOptions& options) : options_(options) {}

    bool On() const noexcept;

    // Reads every record's region and mobile number as the run will read
    // them (`normalised` or as listed) and starts parsing the numbers.
    void Start(const RecordStore& rows, const ColumnMapping& mapping, bool normalised);

    // Before record `n` is read: whether its numbers are parsed, so that
    // the prefix rule is left out. Records are begun in their order.
    bool Begin(int32_t n);

    // Once record `n` is read: its numbers rewritten, or why it is rejected.
    std::optional<FieldRejection> Apply(int32_t n, ContactRecord& record);

    // The region record `n`'s numbers were parsed for; empty when they were
    // not.
    std::string_view RegionOf(int32_t n) const;

    const PhoneCounts& Counts() const noexcept { return counts_; }

private:
    static constexpr uint16_t kNoRegion = 0;
    static constexpr uint16_t kUnknownRegion = 1;

    const ImportOptions& options_;
    std::vector<std::string> regions_;        // by index; 0 and 1 are no region and an unknown one
    std::vector<uint16_t> regionOf_;          // of each record, from record 1
    std::map<int32_t, std::string> unknown_;  // why a record's CountryCode names no region
    std::unique_ptr<PhoneParseAhead> parsed_;
    std::optional<ParsedPhone> current_;  // of the record begun
    PhoneCounts counts_;
};

}  // namespace pelmar
