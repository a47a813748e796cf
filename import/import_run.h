#pragma once
// The import run (the wizard's Finish): opening checks, the destination
// folder, the three prepared statements, one pass over the listed records
// with validation, inserts and group membership, the failure handler with its
// rejected-records file, the closing summary and message, and the wizard's
// state afterwards.
#include <cstdint>
#include <optional>
#include <string>

#include "db/command.h"
#include "import/contact_record.h"
#include "import/import_form.h"

namespace pelmar {

namespace db {
class Connection;
}

// The texts of the run's three statements.
extern const char* const kContactInsertSql;
extern const char* const kGroupMapInsertSql;
extern const char* const kLastContactIdSql;

// Go (True) or stop (False, its message already shown). Applies the default
// mapping when no ColumnMap entry names a field.
bool CheckImportSource(ImportForm& form);

// The run's two opening lines in form.vars.ImportLogFile.
void LogImportStart(const ImportForm& form);

// The folder every imported contact goes to, by Session().ImportTo; throws
// when a group destination names no group row.
int32_t ResolveFolderID();

// Reads record `recordNumber` (1-based) into `record`, member by member, so
// that a failure part-way (an Age beyond 32 bits) leaves what was read.
void ReadContactRecord(const ImportForm& form, int32_t recordNumber, ContactRecord& record);

// The log line of the first rule the record breaks, or nothing when accepted.
std::optional<std::string> ValidateContactRecord(const ContactRecord& record, int32_t recordNumber);

// The connection the destination selects (remote for shared, local for
// local destinations); throws when that connection does not exist.
db::Connection& DestinationConnection();

// Builds the contact insert on `command` step by step, so that a failure
// leaves it as far as it had got.
void PrepareContactInsert(db::Command& command, db::Connection& connection);
void PrepareGroupMapInsert(db::Command& command, db::Connection& connection);
void PrepareLastContactIdQuery(db::Command& command, db::Connection& connection);

struct ImportRunCounts {
    int32_t TotalRecords = 0;
    int32_t ImportedCount = 0;
    int32_t FailedCount = 0;
    int32_t SkippedCount = 0;
    bool HadErrors = false;
};

class ImportRun {
public:
    explicit ImportRun(ImportForm& form);
    ImportRun(const ImportRun&) = delete;
    ImportRun& operator=(const ImportRun&) = delete;

    // The whole run. False when the opening checks stopped it (nothing else
    // happened then); True when it went through to its closing message.
    bool Run();

    const ImportRunCounts& Counts() const noexcept { return counts_; }
    int32_t FolderID() const noexcept { return folderId_; }
    // The prepared contact insert, for inspection after Run.
    const db::Command& ContactInsert() const noexcept { return contactInsert_; }

private:
    template <typename Step>
    void Guarded(Step&& step, bool inLoop = false);
    void HandleFailure(bool inLoop);
    void ImportRecord();
    void WriteSummary();
    void ShowClosingMessage();
    void ResetWizard();
    void Log(const std::string& line);

    ImportForm& form_;
    ImportRunCounts counts_;
    int32_t recordNumber_ = 0;
    int32_t folderId_ = 0;
    ContactRecord record_;
    db::Command contactInsert_;
    db::Command groupMapInsert_;
    db::Command lastContactId_;
};

}  // namespace pelmar
