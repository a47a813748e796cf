#include "core/import_steps.h"

#include "common/error.h"
#include "db/connection.h"

namespace pelmar {

void ImportSteps::Prepare(db::Connection* connection, int32_t folderId, const ColumnMapping& mapping) {
    if (DryRun()) log_("PelmarImpExp: Dry run: nothing is written to the address book.");
    if (job_.options.duplicates == DuplicatePolicy::Insert) return;
    const int32_t owner = job_.destination.IsLocal() ? job_.userId : 0;
    duplicates_.Prepare(db::Required(connection), job_.destination, owner, folderId, mapping, job_.nameText,
                        job_.options.duplicates == DuplicatePolicy::Update, job_.options.parsePhones);
}

void ImportSteps::Rejected(const ColumnMapping& mapping, int32_t n, const ContactRecord& record,
                           const FieldRejection* byStep) {
    if (!job_.options.rejects && !job_.options.report) return;
    Keep(byStep ? RejectionOf(*job_.records, mapping, n, *byStep)
                : ExplainRejection(*job_.records, mapping, n, record, Normalised()));
}

void ImportSteps::Failed(int32_t n, const ErrorInfo& error) {
    if (!job_.options.rejects && !job_.options.report) return;
    Keep(ExplainFailure(*job_.records, n, error));
}

void ImportSteps::Keep(const RecordProblem& problem) {
    if (job_.options.report) result_.Problems.push_back(problem);
    if (!job_.options.rejects) return;
    // A line the rejects file cannot take is counted, as a log line is.
    try {
        job_.options.rejects->NotImported(problem);
    } catch (...) {
        WriteFailures& failures = result_.RejectsFailures;
        if (failures.Lines++ == 0) failures.FirstDescription = CurrentErrorInfo().Description;
        result_.Counts.HadErrors = true;
    }
}

bool ImportSteps::SkipDuplicate(const ContactRecord& record, int32_t n, std::string_view region) {
    duplicateOf_.reset();
    if (job_.options.duplicates == DuplicatePolicy::Insert) return false;
    duplicateOf_ =
        region.empty() ? duplicates_.Find(record.MobileNumber) : duplicates_.FindNumber(record.MobileNumber, region);
    if (!duplicateOf_ || job_.options.duplicates != DuplicatePolicy::Skip) return false;
    log_("PelmarImpExp: Mobile No " + record.MobileNumber + " is in the destination already; record no " +
         std::to_string(n) + " skipped.");
    return true;
}

bool ImportSteps::UpdateDuplicate(const ContactRecord& record, int32_t n) {
    if (!duplicateOf_) return false;
    duplicates_.Update(*duplicateOf_, record);
    ++result_.UpdatedCount;
    log_("PelmarImpExp: Mobile No " + record.MobileNumber + " is in the destination already; record no " +
         std::to_string(n) + " updated it.");
    EmailWarning(record, n);
    return true;
}

void ImportSteps::DryStore(const ContactRecord& record, int32_t n) {
    if (duplicateOf_) {
        ++result_.UpdatedCount;
        log_("PelmarImpExp: Mobile No " + record.MobileNumber + " is in the destination already; record no " +
             std::to_string(n) + " would update it.");
    } else if (job_.options.duplicates != DuplicatePolicy::Insert) {
        duplicates_.Remember(record.MobileNumber);
    }
    EmailWarning(record, n);
}

void ImportSteps::EmailWarning(const ContactRecord& record, int32_t n) {
    if (record.EmailRejected) log_("PelmarImpExp: Email id is not valid at record no " + std::to_string(n));
}

}  // namespace pelmar
