#include "core/import_run.h"

#include "common/clock.h"
#include "common/error.h"
#include "common/text.h"
#include "common/ui.h"
#include "db/connection.h"
#include "db/recordset.h"

namespace pelmar {
namespace {

const std::string kRule(50, '=');

db::Value TextOrNull(const std::string& text) { return text.empty() ? db::Value(db::Null{}) : db::Value(text); }

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
        Guarded([&] {
            PrepareContactInsert(contactInsert_, db::Required(connection_), [&] { return observer_.DatabaseType(); });
        });
        Guarded([&] { PrepareGroupMapInsert(groupMapInsert_, db::Required(connection_)); });
        Guarded([&] { PrepareLastContactIdQuery(lastContactId_, db::Required(connection_)); });

        for (recordNumber_ = 1; recordNumber_ <= counts().TotalRecords; ++recordNumber_) {
            Guarded([&] { ImportRecord(); }, true);
            Guarded([&] { observer_.Progress().Step(); }, true);
        }
        recordNumber_ = 0;

        WriteSummary();
        Guarded([&] { ShowClosingMessage(); });
        Guarded([&] { observer_.Finished(); });
        return result_;
    }

private:
    ImportRunCounts& counts() { return result_.Counts; }

    template <typename Step>
    void Guarded(Step&& step, bool inLoop = false) {
        try {
            step();
        } catch (...) {
            HandleFailure(inLoop);
        }
    }

    // The run's one failure handler. Inside the record loop the record is
    // counted as failed and written to the rejected-records file; anywhere
    // else the run simply goes on with its next step.
    void HandleFailure(bool inLoop) {
        const ErrorInfo error = CurrentErrorInfo();
        if (counts().ImportedCount > 0) --counts().ImportedCount;
        counts().HadErrors = true;
        if (!inLoop) return;
        observer_.Log("PelmarImpExp: Mobile No: " + record_.MobileNumber + ", " + error.Description);
        std::string line = record_.FirstName;
        AppendUtf8(job_.delimiter, line);
        observer_.Reject(line + record_.MobileNumber);
        ++counts().FailedCount;
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
        observer_.Log("PelmarImpExp: Contacts import started at " + NowDateTime());
        observer_.Log(kRule);
    }

    void ImportRecord() {
        ++counts().ImportedCount;
        record_ = ContactRecord{};
        ReadContactRecord(rows_, mapping_, recordNumber_, job_.prefix, observer_.Recorder(), record_);
        if (auto rejection = ValidateContactRecord(record_, recordNumber_)) {
            observer_.Log(*rejection);
            --counts().ImportedCount;
            ++counts().FailedCount;
            counts().HadErrors = true;
            return;
        }

        const int32_t userId = job_.destination.IsLocal() ? job_.userId : 0;
        const ContactRecord& r = record_;
        contactInsert_.Execute({userId,
                                r.FirstName,
                                r.MiddleName,
                                r.LastName,
                                r.MobileNumber,
                                r.Email,
                                r.Address,
                                r.Organisation,
                                result_.FolderID,
                                r.Sex,
                                r.CountryCode,
                                r.Age,
                                r.City,
                                r.State,
                                r.Country,
                                r.Zip,
                                r.HomePhone,
                                r.OfficePhone,
                                r.Fax,
                                TextOrNull(r.Birthday),
                                TextOrNull(r.Anniversary),
                                r.Hobby},
                               db::adExecuteNoRecords);
        if (r.EmailRejected)
            observer_.Log("PelmarImpExp: Email id is not valid at record no " + std::to_string(recordNumber_));

        if (job_.destination.IsGroup()) {
            db::Recordset last = lastContactId_.Execute();
            const int32_t contactId = last.Field(0).ToInt32();
            last.Close();
            groupMapInsert_.Execute({job_.destination.RequiredId(), contactId}, db::adExecuteNoRecords);
        }
    }

    void WriteSummary() {
        const ImportRunCounts& c = counts();
        const std::string lines[] = {
            "PelmarImpExp: Total no of records : " + std::to_string(c.TotalRecords),
            "PelmarImpExp: Successfully imported : " + std::to_string(c.ImportedCount),
            "PelmarImpExp: Failed : " + std::to_string(c.FailedCount),
            "PelmarImpExp: Skipped : " + std::to_string(c.SkippedCount),
            "",
            kRule,
        };
        for (const std::string& line : lines) Guarded([&] { observer_.Log(line); });
        Guarded([&] { observer_.Log("PelmarImpExp: Contacts import completed at " + NowDateTime()); });
        Guarded([&] { observer_.Log(""); });
    }

    void ShowClosingMessage() {
        if (counts().HadErrors)
            observer_.ShowMessage("Contacts import has completed with errors.\r\nPlease view Import Log for deatils.",
                                  msgbox::Exclamation);
        else
            observer_.ShowMessage("Contacts import completed successfully.\r\nPlease view Import Log for details.",
                                  msgbox::Exclamation);
    }

    const ImportJob& job_;
    const RecordStore& rows_;
    db::Connection* connection_;
    ImportObserver& observer_;
    ColumnMapping mapping_;
    ImportResult result_;
    int32_t recordNumber_ = 0;
    ContactRecord record_;
    db::Command contactInsert_;
    db::Command groupMapInsert_;
    db::Command lastContactId_;
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
