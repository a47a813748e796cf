#pragma once
// The steps an import run takes only when its options ask for them: the
// normalised reading, every record that is not imported sent to the rejects
// sink and kept for the report, duplicates skipped or updated, and a dry run
// that writes nothing. The run calls them where they belong; with every
// option off they do nothing.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/error_info.h"
#include "core/column_mapping.h"
#include "core/contact_record.h"
#include "core/duplicate_contacts.h"
#include "core/import_run.h"

namespace pelmar {

class ImportSteps {
public:
    using LogLine = std::function<void(const std::string&)>;

    // `log` writes a line of the import log as the run does, `result` is the
    // run's, where the problems and write failures go.
    ImportSteps(const ImportJob& job, LogLine log, ImportResult& result)
            : job_(job), log_(std::move(log)), result_(result) {}

    bool Normalised() const noexcept { return job_.options.normalise; }
    bool DryRun() const noexcept { return job_.options.dryRun; }

    // After the run's statements: the lookup of duplicates, and the log's
    // word that a dry run writes nothing.
    void Prepare(db::Connection* connection, int32_t folderId, const ColumnMapping& mapping);

    // `byStep` when a step rejected the record rather than a rule.
    void Rejected(const ColumnMapping& mapping, int32_t n, const ContactRecord& record,
                  const FieldRejection* byStep = nullptr);
    void Failed(int32_t n, const ErrorInfo& error);

    // True, with its log line, when the record is a duplicate to skip. With
    // a `region`, its number is in E.164 and stored numbers are compared
    // parsed for that region.
    bool SkipDuplicate(const ContactRecord& record, int32_t n, std::string_view region = {});
    // True when the record updated the contact that has its number.
    bool UpdateDuplicate(const ContactRecord& record, int32_t n);
    // A dry run's store: the log lines a real one would write, no row.
    void DryStore(const ContactRecord& record, int32_t n);

private:
    void Keep(const RecordProblem& problem);
    void EmailWarning(const ContactRecord& record, int32_t n);

    const ImportJob& job_;
    LogLine log_;
    ImportResult& result_;
    DuplicateContacts duplicates_;
    std::optional<int32_t> duplicateOf_;  // of the record being stored
};

}  // namespace pelmar
