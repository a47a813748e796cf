#include "core/import_run.h"

#include <algorithm>

#include "common/clock.h"
#include "common/error.h"
#include "common/text.h"
#include "common/ui.h"
#include "core/held_lines.h"
#include "core/import_phones.h"
#include "core/import_steps.h"
#include "db/connection.h"
#include "db/dialect.h"
#include "db/parameter_rows.h"
#include "db/recordset.h"
#include "db/transaction.h"

namespace pelmar {
namespace {

const std::string kRule(50, '=');

// The columns of a record stored in the open batch, kept until the batch
// commits: if the commit fails, the record failed too.
enum PendingColumn { kPendingNumber, kPendingFirstName, kPendingMobileNumber, kPendingColumns };

// One run. Every step goes through Guarded(): a step that fails enters the
// run's one failure handler, which decides how the run goes on.
class ImportRun {
public:
    ImportRun(const ImportJob& job, db::Connection* connection, ImportObserver& observer)
            : job_(job), rows_(*job.records), connection_(connection), observer_(observer), mapping_(job.mapping) {}

    ImportResult Run() {
        bool go = true;
        Guarded([&] { go = CheckImportSource(rows_, mapping_, result_.DefaultMappingApplied, observer_); });
        if (!go) return result_;
        result_.Started = true;

        Guarded([&] { StartProgress(); });
        Guarded([&] { LogImportStart(); });
        Guarded([&] { result_.FolderID = ResolveFolderID(job_.destination, connection_); });
        Guarded([&] { PrepareContactInsert(contactInsert_, db::Required(connection_), job_.nameText); });
        Guarded([&] { PrepareGroupMapInsert(groupMapInsert_, db::Required(connection_)); });
        Guarded([&] { PrepareLastContactIdQuery(lastContactId_, db::Required(connection_)); });
        Guarded([&] { steps_.Prepare(connection_, result_.FolderID, mapping_); });
        Guarded([&] { phones_.Start(rows_, mapping_, steps_.Normalised()); });

        for (recordNumber_ = 1; recordNumber_ <= counts().TotalRecords; ++recordNumber_) {
            if (StopRequested()) {
                result_.StoppedBefore = recordNumber_;
                break;
            }
            Guarded([&] { ImportRecord(); }, true);
            Guarded([&] { observer_.Progress().Step(); }, true);
            if (Batching() && (recordNumber_ % job_.options.commitEvery == 0)) CommitBatch();
        }
        if (Batching()) CommitBatch();
        recordNumber_ = 0;
        if (phones_.On()) result_.Numbers = phones_.Counts();

        if (result_.StoppedBefore > 0) LogStop();
        WriteSummary();
        Guarded([&] { ShowClosingMessage(); });
        Guarded([&] { observer_.Finished(); });
        return result_;
    }

private:
    ImportRunCounts& counts() { return result_.Counts; }
    bool Batching() const { return job_.options.commitEvery > 0; }
    bool StopRequested() const { return job_.options.stop && job_.options.stop->load(); }

    template <typename Step>
    void Guarded(Step&& step, bool inLoop = false) {
        try {
            step();
        } catch (...) {
            HandleFailure(CurrentErrorInfo(), inLoop ? &record_ : nullptr);
        }
    }

    // Kept on purpose: docs/behaviour.md#counts-that-drop-on-any-failure
    // The run's one failure handler. For a record (inside the record loop)
    // it is counted as failed and written to the rejected-records file;
    // anywhere else the run simply goes on with its next step.
    void HandleFailure(const ErrorInfo& error, const ContactRecord* record) {
        if (record && chunk_ && !Isolated() && !Sending()) RepairChunk();
        if (counts().ImportedCount > 0) --counts().ImportedCount;
        counts().HadErrors = true;
        if (!record) return;
        RecordFailed(error, record->FirstName, record->MobileNumber, recordNumber_);
    }

    // Kept on purpose: docs/behaviour.md#rejections-are-not-written-to-the-bad-file
    void RecordFailed(const ErrorInfo& error, const std::string& firstName, const std::string& mobileNumber,
                      int32_t recordNumber) {
        Log(FailureLine(error, mobileNumber));
        Reject(RejectLine(firstName, mobileNumber));
        ++counts().FailedCount;
        steps_.Failed(recordNumber, error);
    }
    static std::string FailureLine(const ErrorInfo& error, const std::string& mobileNumber) {
        return "PelmarImpExp: Mobile No: " + mobileNumber + ", " + error.Description;
    }
    std::string RejectLine(const std::string& firstName, const std::string& mobileNumber) const {
        std::string line = firstName;
        AppendUtf8(job_.delimiter, line);
        return line + mobileNumber;
    }

    // The run's writes to its files. A line that cannot be written is
    // counted and the run goes on: losing a log line must not lose records.
    // The records of a batch hold their lines until it has committed, so
    // that the files never tell of rows the database does not have.
    void Log(const std::string& line, HeldLines::Kind kind = HeldLines::Kind::Log) {
        if (Holding()) return held_.Hold(recordNumber_, kind, line);
        Write([&] { observer_.Log(line); }, result_.LogFailures);
    }
    void Reject(const std::string& line) {
        if (Holding()) return held_.Hold(recordNumber_, HeldLines::Kind::Reject, line);
        Write([&] { observer_.Reject(line); }, result_.RejectFailures);
    }
    bool Holding() const { return Batching() && recordNumber_ > 0; }

    void ReleaseHeldLines() {
        held_.Release([&](HeldLines::Kind kind, const std::string& line) {
            if (kind == HeldLines::Kind::Reject)
                Write([&] { observer_.Reject(line); }, result_.RejectFailures);
            else
                Write([&] { observer_.Log(line); }, result_.LogFailures);
        });
    }

    template <typename WriteLine>
    void Write(WriteLine&& write, WriteFailures& failures) {
        try {
            write();
        } catch (...) {
            if (failures.Lines++ == 0) failures.FirstDescription = CurrentErrorInfo().Description;
            counts().HadErrors = true;
        }
    }

    void StartProgress() {
        counts().TotalRecords = rows_.RowCount();
        ProgressBar& bar = observer_.Progress();
        bar.SetVisible(true);
        bar.SetMax(counts().TotalRecords);
        bar.SetMin(0);
        bar.SetValue(bar.Min());
    }

    void LogImportStart() {
        Log("PelmarImpExp: Contacts import started at " + NowDateTime());
        Log(kRule);
    }

    void ImportRecord() {
        ++counts().ImportedCount;
        if (auto rejection = ReadAndValidate()) {
            Log(*rejection);
            --counts().ImportedCount;
            ++counts().FailedCount;
            counts().HadErrors = true;
            steps_.Rejected(mapping_, recordNumber_, record_, phoneRejection_ ? &*phoneRejection_ : nullptr);
            return;
        }
        if (steps_.SkipDuplicate(record_, recordNumber_, phones_.RegionOf(recordNumber_))) {
            --counts().ImportedCount;
            ++counts().SkippedCount;
            return;
        }
        if (steps_.DryRun()) return steps_.DryStore(record_, recordNumber_);
        if (Batching()) return StoreInBatch();
        // Each insert commits on its own: a group's contact stays in when its
        // membership fails, and the record is counted as failed all the same.
        Store();
        ++result_.CommittedCount;
    }

    void Store() {
        if (!steps_.UpdateDuplicate(record_, recordNumber_)) StoreRecord();
    }

    // In a batch a record takes no savepoint of its own: the batch goes in
    // chunks, each a savepoint, and a record that fails has its chunk rolled
    // back and stored again record by record (RepairChunk, ResendChunk); the
    // rest of such a chunk takes a savepoint each. Records that may update
    // contacts always do, as their updates are not kept to store again.
    void StoreInBatch() {
        if (!batch_) {
            batch_.emplace(db::Required(connection_));
            keysKnown_ = db::DialectOf(db::Required(connection_)) != db::Dialect::Other;
        }
        if (!chunk_ && !Isolated()) OpenChunk();
        if (Isolated()) {
            db::Transaction record(db::Required(connection_));
            Store();
            record.Commit();
        } else {
            Store();
        }
        pendingRow_[kPendingNumber] = recordNumber_;
        pendingRow_[kPendingFirstName].SetText(record_.FirstName);
        pendingRow_[kPendingMobileNumber].SetText(record_.MobileNumber);
        pending_.Add(pendingRow_);
        if (++chunkRecords_ == kChunkRecords) CloseChunk();
    }

    void OpenChunk() {
        chunk_.emplace(db::Required(connection_));
        chunkStart_ = pending_.Size();
        stored_.Reserve(kChunkRecords);
    }

    // Whether the chunk's contacts are kept to be sent together when it
    // closes (one array execution where the database has one), and a group's
    // memberships after them with the contacts' new keys. They are not when
    // duplicates are looked up, which must find those before them, nor for a
    // group on a database whose new keys this layer cannot read.
    bool Sending() const {
        return chunk_ && !isolated_ && job_.options.duplicates == DuplicatePolicy::Insert &&
               (!job_.destination.IsGroup() || keysKnown_);
    }
    bool Isolated() const { return isolated_ || job_.options.duplicates == DuplicatePolicy::Update; }

    // The record's fields and the rules' verdict, read as the options say.
    // A number parsed for a region is rejected or accepted for it before
    // the rules, which then see its E.164 form.
    std::optional<std::string> ReadAndValidate() {
        static const MobilePrefix kNoPrefix;
        const MobilePrefix& prefix = phones_.Begin(recordNumber_) ? kNoPrefix : job_.prefix;
        if (steps_.Normalised())
            ReadNormalisedRecord(rows_, mapping_, recordNumber_, prefix, job_.options.dateOrder, observer_.Recorder(),
                                 record_);
        else
            ReadContactRecord(rows_, mapping_, recordNumber_, prefix, observer_.Recorder(), record_);
        if ((phoneRejection_ = phones_.Apply(recordNumber_, record_))) {
            const std::string& value =
                phoneRejection_->field == ContactField::CountryCode ? record_.CountryCode : record_.MobileNumber;
            return "PelmarImpExp: " + std::string(FieldName(phoneRejection_->field)) + " \"" + value +
                   "\": " + phoneRejection_->reason + " at record no " + std::to_string(recordNumber_);
        }
        if (steps_.Normalised()) return ValidateNormalisedRecord(record_, recordNumber_);
        return ValidateContactRecord(record_, recordNumber_);
    }

    void StoreRecord() {
        const ContactRecord& r = record_;
        // The insert's parameters view the record's members: its text is
        // bound from there, not copied.
        row_.resize(kContactColumns.size());
        for (std::size_t i = 0; i < kContactColumns.size(); ++i) {
            const ContactColumn& column = kContactColumns[i];
            switch (column.source) {
                case ColumnSource::Owner: row_[i] = job_.destination.IsLocal() ? job_.userId : 0; break;
                case ColumnSource::Folder: row_[i] = result_.FolderID; break;
                case ColumnSource::Field: row_[i] = FieldValue(column, r); break;
            }
        }
        if (Sending())
            contactInsert_.Validate(row_);
        else
            contactInsert_.ExecuteRow(row_, db::adExecuteNoRecords);
        if (r.EmailRejected)
            Log("PelmarImpExp: Email id is not valid at record no " + std::to_string(recordNumber_),
                HeldLines::Kind::Stored);
        if (job_.destination.IsGroup() && !Sending()) AddMembership();
        if (chunk_ && !isolated_) stored_.Add(row_);
    }

    void AddMembership() {
        membership_[0] = job_.destination.RequiredId();
        membership_[1] = NewContactId();
        groupMapInsert_.Execute(membership_, db::adExecuteNoRecords);
    }

    // Kept on purpose: docs/behaviour.md#the-membership-takes-the-largest-contact-id
    int32_t NewContactId() {
        db::Recordset last = lastContactId_.Execute();
        const int32_t contactId = last.Field(0).ToInt32();
        last.Close();
        return contactId;
    }

    // Ends the open chunk: its contacts sent, if they were kept to be, and its
    // savepoint released. If that fails, they are stored again one by one.
    void CloseChunk() {
        if (chunk_) {
            try {
                if (Sending()) SendChunk();
                chunk_->Commit();
            } catch (...) {
                chunk_.reset();
                ResendChunk();
            }
            chunk_.reset();
        }
        stored_.Clear();
        chunkRecords_ = 0;
        isolated_ = false;
    }

    void SendChunk() {
        if (!job_.destination.IsGroup()) return contactInsert_.ExecuteRows(stored_);
        contactInsert_.ExecuteRowsForKeys(stored_, kContactKeyColumn, keys_);
        memberships_.Clear();
        membership_[0] = job_.destination.RequiredId();
        for (const int64_t key : keys_) {
            membership_[1] = db::Value(key).ToInt32();
            memberships_.Add(membership_);
        }
        groupMapInsert_.ExecuteRows(memberships_);
    }

    // A record of the open chunk failed and may have left the chunk's work
    // half done (a contact without its membership; a server that refuses
    // every statement after a failed one): the chunk is rolled back, its
    // records before this one are stored again, and the rest of the chunk
    // takes a savepoint each.
    void RepairChunk() {
        chunk_.reset();
        ResendChunk();
        stored_.Clear();
        isolated_ = true;
    }

    // Stores the chunk's kept contacts again, each in a savepoint: one that
    // fails now has its failure written where it would have been.
    void ResendChunk() {
        for (std::size_t i = 0; i < stored_.Size(); ++i) {
            try {
                db::Transaction record(db::Required(connection_));
                stored_.Read(i, values_);
                contactInsert_.Execute(values_, db::adExecuteNoRecords);
                if (job_.destination.IsGroup()) AddMembership();
                record.Commit();
            } catch (...) {
                FailedLate(chunkStart_ + i, CurrentErrorInfo());
            }
        }
    }

    void FailedLate(std::size_t pending, const ErrorInfo& error) {
        pending_.Read(pending, pendingRow_);
        const int32_t n = pendingRow_[kPendingNumber].ToInt32();
        const std::string& mobileNumber = *pendingRow_[kPendingMobileNumber].Text();
        if (counts().ImportedCount > 0) --counts().ImportedCount;
        counts().HadErrors = true;
        ++counts().FailedCount;
        held_.PlaceFailure(n, FailureLine(error, mobileNumber),
                           RejectLine(*pendingRow_[kPendingFirstName].Text(), mobileNumber));
        steps_.Failed(n, error);
        failedLate_.push_back(n);
    }

    // Commits a batch, then writes the lines its records held. If the commit
    // fails, every record stored in the batch failed too.
    void CommitBatch() {
        CloseChunk();
        if (batch_) {
            std::optional<ErrorInfo> failure;
            try {
                batch_->Commit();
                result_.CommittedCount += static_cast<int32_t>(pending_.Size() - failedLate_.size());
            } catch (...) {
                failure = CurrentErrorInfo();
            }
            batch_.reset();  // rolls back a batch that did not commit
            if (failure) FailPending(*failure);
        }
        pending_.Clear();
        failedLate_.clear();
        ReleaseHeldLines();
    }

    void FailPending(const ErrorInfo& failure) {
        for (std::size_t i = 0; i < pending_.Size(); ++i) {
            pending_.Read(i, pendingRow_);
            const int32_t n = pendingRow_[kPendingNumber].ToInt32();
            if (std::ranges::find(failedLate_, n) != failedLate_.end()) continue;
            if (counts().ImportedCount > 0) --counts().ImportedCount;
            counts().HadErrors = true;
            RecordFailed(failure, *pendingRow_[kPendingFirstName].Text(), *pendingRow_[kPendingMobileNumber].Text(), n);
        }
    }

    void LogStop() {
        Log("PelmarImpExp: Import stopped by an interrupt before record no " + std::to_string(result_.StoppedBefore) +
            " of " + std::to_string(counts().TotalRecords) + "; the records from there on were not read.");
    }

    void WriteSummary() {
        const ImportRunCounts& c = counts();
        Log("PelmarImpExp: Total no of records : " + std::to_string(c.TotalRecords));
        Log("PelmarImpExp: Successfully imported : " + std::to_string(c.ImportedCount));
        Log("PelmarImpExp: Failed : " + std::to_string(c.FailedCount));
        Log("PelmarImpExp: Skipped : " + std::to_string(c.SkippedCount));
        Log("");
        Log(kRule);
        Log("PelmarImpExp: Contacts import completed at " + NowDateTime());
        Log("");
    }

    void ShowClosingMessage() {
        std::string message = counts().HadErrors
                                  ? "Contacts import has completed with errors.\r\nPlease view Import Log for deatils."
                                  : "Contacts import completed successfully.\r\nPlease view Import Log for details.";
        const auto tell = [&](const WriteFailures& failures, const char* file) {
            if (failures.Lines == 0) return;
            message += "\r\n" + std::to_string(failures.Lines) + " line(s) could not be written to the " + file + ": " +
                       failures.FirstDescription;
        };
        tell(result_.LogFailures, "import log");
        tell(result_.RejectFailures, "rejected-records file");
        observer_.ShowMessage(message, msgbox::Exclamation);
    }

    const ImportJob& job_;
    const RecordStore& rows_;
    db::Connection* connection_;
    ImportObserver& observer_;
    ColumnMapping mapping_;
    ImportResult result_;
    int32_t recordNumber_ = 0;
    ContactRecord record_;
    std::vector<db::ValueView> row_;  // the record being stored
    std::vector<db::Value> values_;   // a stored row run again
    std::vector<db::Value> membership_{db::Value(0), db::Value(0)};
    // The open batch, a transaction: its records (PendingColumn), those of
    // them that failed when their chunk was stored again, and the lines held.
    std::optional<db::Transaction> batch_;
    db::ParameterRows pending_{kPendingColumns};
    std::vector<db::Value> pendingRow_ = std::vector<db::Value>(kPendingColumns);
    std::vector<int32_t> failedLate_;
    HeldLines held_;
    // Its open chunk, a savepoint: the contacts kept to send or store again,
    // the first of its records in pending_, and how many it has had.
    static constexpr std::size_t kChunkRecords = 1000;
    std::optional<db::Transaction> chunk_;
    db::ParameterRows stored_{kContactColumns.size()};
    std::size_t chunkStart_ = 0;
    std::size_t chunkRecords_ = 0;
    bool isolated_ = false;   // the rest of the chunk's records take a savepoint each
    bool keysKnown_ = false;  // a group's chunk can be sent (Sending)
    std::vector<int64_t> keys_;
    db::ParameterRows memberships_{2};
    db::Command contactInsert_;
    db::Command groupMapInsert_;
    db::Command lastContactId_;
    ImportPhones phones_{job_.options};
    std::optional<FieldRejection> phoneRejection_;  // of the record being read
    ImportSteps steps_{job_, [this](const std::string& line) { Log(line); }, result_};
};

}  // namespace

bool CheckImportSource(const RecordStore& rows, ColumnMapping& mapping, bool& defaultApplied, RunObserver& observer) {
    if (rows.RowCount() == 0) {
        observer.ShowMessage("Source file does not contain any record to import.", msgbox::Exclamation);
        return false;
    }
    if (!mapping.NamesAnyField()) {
        mapping = ColumnMapping::Default();
        defaultApplied = true;
    }
    if (rows.SubItemCount(1) == 0) {
        observer.ShowMessage("Data format is invalid,Please check your data.", msgbox::Exclamation);
        return false;
    }
    return true;
}

int32_t ResolveFolderID(const Destination& destination, db::Connection* connection) {
    if (!destination.IsGroup()) return destination.RequiredId();
    db::Recordset group;
    group.Open("SELECT FOLDER_ID FROM SMS_ABGROUPS WHERE ID = " + std::to_string(destination.RequiredId()),
               db::Required(connection), db::adOpenForwardOnly, db::adLockReadOnly, -1);
    const int32_t folderId = group.Field("FOLDER_ID").ToInt32();
    group.Close();
    return folderId;
}

ImportResult RunImport(const ImportJob& job, db::Connection* connection, ImportObserver& observer) {
    return ImportRun(job, connection, observer).Run();
}

}  // namespace pelmar
