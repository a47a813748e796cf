#pragma once
// The import run: opening checks, the destination folder, the three prepared
// statements, one pass over the listed records with validation, inserts and
// group membership, the failure handler with its rejected-records file, and
// the closing summary and message.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/column_mapping.h"
#include "core/contact_rules.h"
#include "core/contact_schema.h"
#include "core/destination.h"
#include "core/duplicate_contacts.h"
#include "core/import_statements.h"
#include "core/normalise.h"
#include "core/phone_counts.h"
#include "core/record_problem.h"
#include "core/record_store.h"
#include "core/run_observer.h"

namespace pelmar {

namespace db {
class Connection;
}

// What a run may do beyond the specified one. Every option is off by default,
// and off it changes no text, count or stored value.
struct ImportOptions {
    // 0: every record commits on its own. N: N records a transaction, in
    // chunks that a record which fails has stored again without it, so that
    // it still fails alone.
    int32_t commitEvery = 0;
    // Set (by a signal handler, say) to end the run after the current record:
    // the summary is written with the counts so far and where it stopped.
    const std::atomic<bool>* stop = nullptr;

    // Records read normalised (normalise.h): trimmed and kept as typed,
    // phone numbers, gender words and dates in their usual forms, and a value
    // too long for its column rejected with a reason.
    bool normalise = false;
    DateOrder dateOrder = DateOrder::DayMonthYear;
    // Gets every record the run does not import, rejected or failed, with why.
    ProblemSink* rejects = nullptr;
    // Keeps the same in the result's Problems.
    bool report = false;
    // Everything but the writes: the statements are prepared, no row is
    // inserted or updated.
    bool dryRun = false;
    // What a record whose mobile number the destination has already does.
    DuplicatePolicy duplicates = DuplicatePolicy::Insert;

    // Mobile numbers parsed against the numbering plans (phone_number.h) and
    // stored in E.164; one that is no valid number rejects its record. Each
    // record is parsed for the region its CountryCode names, else for
    // `phoneRegion` (two upper-case letters; empty: a record without a
    // CountryCode is kept as read). The prefix rule is not applied to a
    // number that is parsed: its region does that job.
    bool parsePhones = false;
    std::string phoneRegion{};
    // ... and a number of a type other than mobile rejects its record.
    bool mobileOnly = false;
};

// What one import run works on.
struct ImportJob {
    const RecordStore* records = nullptr;  // the listed records, in list order
    ColumnMapping mapping;
    Destination destination;
    int32_t userId = 0;  // the owner of local contacts
    MobilePrefix prefix;
    // The source's delimiter, written between the two fields of a
    // rejected-records line.
    char32_t delimiter = U',';
    // The text type of the name-like columns. The host's database type
    // decides it (NameTextFor of the logger's DatabaseType, that is of
    // PELMAR_DATABASE_TYPE), asked once by whoever builds the job; the
    // connection's dialect does not, so a MariaDB connection without the
    // variable gets wide text, which its driver stores as the same text.
    NameText nameText = NameText::Wide;
    ImportOptions options;
};

class ImportObserver : public RunObserver {
public:
    // A line of the import log.
    virtual void Log(const std::string& line) = 0;
    // A line of the rejected-records (.bad) file.
    virtual void Reject(const std::string& line) = 0;
    // The last step of a run that was not stopped by its opening checks:
    // the window's state after the run.
    virtual void Finished() {}
};

struct ImportRunCounts {
    int32_t TotalRecords = 0;
    int32_t ImportedCount = 0;
    int32_t FailedCount = 0;
    int32_t SkippedCount = 0;
    bool HadErrors = false;
};

// Lines the run could not write to one of its files.
struct WriteFailures {
    int32_t Lines = 0;
    std::string FirstDescription;
};

struct ImportResult {
    bool Started = false;  // false when the opening checks stopped the run
    ImportRunCounts Counts;
    int32_t FolderID = 0;
    // The job mapped no field, so the run took the first eight columns.
    bool DefaultMappingApplied = false;
    // The records committed to the database; ImportedCount follows the
    // specified counting, which takes one back for any step that failed.
    int32_t CommittedCount = 0;
    // The run was stopped before this record (0: it ran to the end).
    int32_t StoppedBefore = 0;
    WriteFailures LogFailures;     // the import log
    WriteFailures RejectFailures;  // the rejected-records file

    // With the options that ask for them: the records that updated a contact
    // of the same number (counted as imported), every record not imported,
    // and lines the rejects sink could not take.
    int32_t UpdatedCount = 0;
    std::vector<RecordProblem> Problems;
    WriteFailures RejectsFailures;

    // With numbers parsed: the types and regions of the mobile numbers read.
    std::optional<PhoneCounts> Numbers;
};

// Go (True) or stop (False, its message already shown). With no field mapped
// it makes `mapping` the default mapping and sets `defaultApplied`.
bool CheckImportSource(const RecordStore& rows, ColumnMapping& mapping, bool& defaultApplied, RunObserver& observer);

// The folder every imported contact goes to: a folder destination's id, or
// the folder of a group destination, read from `connection`.
int32_t ResolveFolderID(const Destination& destination, db::Connection* connection);

// The whole run on `connection`, the connection the destination selects (null
// when that connection does not exist: the steps that need it fail).
//
// Every insert commits on its own: a group record whose membership fails
// keeps its contact and is counted as failed.
// A log or rejected-records line that cannot be written does not stop the
// run or change its counts: it is counted, and the closing message says so.
ImportResult RunImport(const ImportJob& job, db::Connection* connection, ImportObserver& observer);

}  // namespace pelmar
