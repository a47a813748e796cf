#pragma once
// Why a record was not imported, for the rejects file and the report: the
// record, the line of the source it starts on, the field at fault with its
// value as the file holds it, and the reason.
#include <cstdint>
#include <string>

#include "common/error_info.h"
#include "core/column_mapping.h"
#include "core/contact_field.h"
#include "core/contact_record.h"
#include "core/record_store.h"

namespace pelmar {

struct RecordProblem {
    enum class Kind { Rejected, Failed };  // by a rule; by a step that failed
    Kind kind = Kind::Rejected;
    int32_t recordNumber = 0;
    int32_t line = 0;
    std::string field;  // "" when no one field is at fault
    std::string value;
    std::string reason;
};

// Where a run sends every record it did not import.
class ProblemSink {
public:
    virtual ~ProblemSink() = default;
    virtual void NotImported(const RecordProblem& problem) = 0;
};

// A record rejected for one field, by a step of its own rather than a rule.
struct FieldRejection {
    ContactField field;
    std::string reason;
};

RecordProblem RejectionOf(const RecordStore& rows, const ColumnMapping& mapping, int32_t recordNumber,
                          const FieldRejection& rejection);

// The first rule `record` (row `recordNumber` of `rows`, read through
// `mapping`, normalised or not) breaks, in the rules' order.
RecordProblem ExplainRejection(const RecordStore& rows, const ColumnMapping& mapping, int32_t recordNumber,
                               const ContactRecord& record, bool normalised);

RecordProblem ExplainFailure(const RecordStore& rows, int32_t recordNumber, const ErrorInfo& error);

// One line of text: the field and its value in quotes, then the reason.
std::string DescribeProblem(const RecordProblem& problem);

}  // namespace pelmar
