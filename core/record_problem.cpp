#include "core/record_problem.h"

#include "common/text.h"
#include "core/contact_schema.h"
#include "core/normalise.h"

namespace pelmar {
namespace {

using F = ContactField;

// The field's text as the file holds it, whole.
std::string SourceValue(const RecordStore& rows, int32_t row, const ColumnMapping& mapping, ContactField field) {
    const FieldSource& source = mapping.Source(field);
    if (source.failure) return {};
    if (source.position == 0) return std::string(rows.RowText(row));
    if (source.position > 0 && source.position <= rows.SubItemCount(row))
        return std::string(rows.SubItem(row, source.position));
    return {};
}

int32_t LineOf(const RecordStore& rows, int32_t row) {
    return row >= 1 && row <= rows.RowCount() ? rows.RowLine(row) : 0;
}

}  // namespace

RecordProblem ExplainRejection(const RecordStore& rows, const ColumnMapping& mapping, int32_t recordNumber,
                               const ContactRecord& record, bool normalised) {
    const auto isDate = [&](const std::string& text) {
        return text.empty() || IsDate(text) || (normalised && IsYearlessDate(text));
    };
    const auto problem = [&](ContactField field, std::string reason) {
        return RecordProblem{RecordProblem::Kind::Rejected,
                             recordNumber,
                             LineOf(rows, recordNumber),
                             std::string(FieldName(field)),
                             SourceValue(rows, recordNumber, mapping, field),
                             std::move(reason)};
    };
    if (!isDate(record.Birthday)) return problem(F::Birthday, "not a date");
    if (!isDate(record.Anniversary)) return problem(F::Anniversary, "not a date");
    if (!record.Sex.empty() && record.Sex != "M" && record.Sex != "F") return problem(F::Sex, "not M or F");
    if (!IsNumeric(record.MobileNumber))
        return problem(F::MobileNumber, Trim(record.MobileNumber).empty() ? "missing" : "not a number");
    if (Trim(record.FirstName).empty()) return problem(F::FirstName, "missing");
    if (const auto field = TooLongField(record))
        return problem(*field, "longer than " + std::to_string(FieldColumnSize(*field)) + " characters");
    return {RecordProblem::Kind::Rejected, recordNumber, LineOf(rows, recordNumber), "", "", "rejected"};
}

RecordProblem RejectionOf(const RecordStore& rows, const ColumnMapping& mapping, int32_t recordNumber,
                          const FieldRejection& rejection) {
    return {RecordProblem::Kind::Rejected,
            recordNumber,
            LineOf(rows, recordNumber),
            std::string(FieldName(rejection.field)),
            SourceValue(rows, recordNumber, mapping, rejection.field),
            rejection.reason};
}

RecordProblem ExplainFailure(const RecordStore& rows, int32_t recordNumber, const ErrorInfo& error) {
    return {RecordProblem::Kind::Failed, recordNumber, LineOf(rows, recordNumber), "", "", error.Description};
}

std::string DescribeProblem(const RecordProblem& problem) {
    if (problem.field.empty()) return problem.reason;
    return problem.field + " \"" + problem.value + "\": " + problem.reason;
}

}  // namespace pelmar
