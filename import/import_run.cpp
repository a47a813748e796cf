#include "import/import_run.h"

#include <array>

#include "common/clock.h"
#include "common/error.h"
#include "common/general.h"
#include "common/text.h"
#include "common/ui.h"
#include "component/session_state.h"
#include "db/connection.h"
#include "db/recordset.h"
#include "import/field_lookup.h"
#include "import/source_check.h"

namespace pelmar {

const char* const kContactInsertSql =
    "INSERT INTO SMS_ABCONTACTS(USER_ID,FNAME,MNAME,LNAME,MOBILENO, "
    "EMAIL,ADDRESS,ORGANISATION,FOLDER_ID,SEX,COUNTRYCODE,AGE,"
    "CITY,STATE,COUNTRY,ZIP,HOMEPHONE,OFFICEPHONE,FAX,BIRTHDAY,ANNIVERSARY,HOBBY)"
    "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)";
const char* const kGroupMapInsertSql = " INSERT INTO SMS_ABGROUPMAPS (GROUP_ID,CONTACT_ID) VALUES(?,?) ";
const char* const kLastContactIdSql = "SELECT MAX(ID) FROM SMS_ABCONTACTS";

namespace {

const std::string kRule = std::string(50, '=');

EventLogger& Logger() {
    if (!Session().Logger) throw Error(errnum::ObjectRequired, "Object required");
    return *Session().Logger;
}

void WriteImportLog(const ImportForm& form, const std::string& line) {
    Logger().WriteLog(form.vars.ImportLogFile, line, false, true);
}

bool IsGroup(ImportToType importTo) { return importTo == SharedGroup || importTo == LocalGroup; }
bool IsLocal(ImportToType importTo) { return importTo == LocalFolder || importTo == LocalGroup; }

std::string Doubled(std::string text) { return ReplaceAll(text, "'", "''"); }

// The seven name-like columns travel narrow to MySQL and wide elsewhere; the
// logger's DatabaseType is asked each time, as the host may change it.
db::DataType NameTextType() {
    return UpperCase(Logger().DatabaseType()) == "MYSQL" ? db::adVarChar : db::adVarWChar;
}

enum class Kind { Integer, Narrow, Name };

struct ParameterDef {
    const char* name;
    Kind kind;
    int32_t size;
};

constexpr std::array<ParameterDef, 22> kContactParameters = {{
    {"USER_ID", Kind::Integer, 0},     {"FNAME", Kind::Name, 50},
    {"MNAME", Kind::Name, 50},         {"LNAME", Kind::Name, 50},
    {"MOBILENO", Kind::Narrow, 50},    {"EMAIL", Kind::Narrow, 50},
    {"ADDRESS", Kind::Name, 50},       {"ORGANISATION", Kind::Name, 50},
    {"FOLDER_ID", Kind::Integer, 0},   {"SEX", Kind::Narrow, 1},
    {"COUNTRYCODE", Kind::Narrow, 10}, {"AGE", Kind::Integer, 0},
    {"CITY", Kind::Narrow, 100},       {"STATE", Kind::Name, 100},
    {"COUNTRY", Kind::Name, 100},      {"ZIP", Kind::Narrow, 20},
    {"HOMEPHONE", Kind::Narrow, 20},   {"OFFICEPHONE", Kind::Narrow, 20},
    {"FAX", Kind::Narrow, 20},         {"BIRTHDAY", Kind::Narrow, 10},
    {"ANNIVERSARY", Kind::Narrow, 10}, {"HOBBY", Kind::Narrow, 10},
}};

void StartCommand(db::Command& command, db::Connection& connection, const char* sql) {
    command.Type = db::adCmdText;
    command.SetActiveConnection(connection);
    command.CommandText = sql;
    command.Prepared = true;
}

void AppendInteger(db::Command& command, const char* name) {
    command.AppendParameter(command.CreateParameter(name, db::adInteger, db::adParamInput, 0));
}

db::Value TextOrNull(const std::string& text) {
    return text.empty() ? db::Value(db::Null{}) : db::Value(text);
}

}  // namespace

bool CheckImportSource(ImportForm& form) {
    if (form.lvwContacts.RowCount() == 0) {
        ShowNotification("Source file does not contain any record to import.", msgbox::Exclamation);
        return false;
    }
    int named = 0;
    for (int n = 1; n <= ColumnMap::kEntries && named < 3; ++n)
        if (!Trim(Session().ColumnMap[n].FieldName).empty()) ++named;
    if (named == 0) SetDefaultMapping();
    if (form.lvwContacts.SubItemCount(1) == 0) {
        ShowNotification("Data format is invalid,Please check your data.", msgbox::Exclamation);
        return false;
    }
    return true;
}

void LogImportStart(const ImportForm& form) {
    WriteImportLog(form, "PelmarImpExp: Contacts import started at " + NowDateTime());
    WriteImportLog(form, kRule);
}

int32_t ResolveFolderID() {
    SessionState& session = Session();
    if (!IsGroup(session.ImportTo)) return ToInt32(session.ImportToID);
    db::Recordset group;
    group.Open("SELECT FOLDER_ID FROM SMS_ABGROUPS WHERE ID = " + session.ImportToID,
               DestinationConnection(), db::adOpenForwardOnly, db::adLockReadOnly, -1);
    const int32_t folderId = group.Field("FOLDER_ID").ToInt32();
    group.Close();
    return folderId;
}

void ReadContactRecord(const ImportForm& form, int32_t recordNumber, ContactRecord& record) {
    auto read = [&](const char* field) { return GetColumnValue(form.lvwContacts, recordNumber, field); };

    record.FirstName = Doubled(read("FirstName"));
    record.MiddleName = Doubled(read("MiddleName"));
    record.LastName = Doubled(read("LastName"));
    record.MobileNumber = read("MobileNumber");
    record.Email = read("Email");

    // A prefix whose value is 0 (empty, zeros only, not a number) is never added.
    const std::string prefix = Trim(form.vars.MobilePrefix);
    if (LeadingNumber(form.vars.MobilePrefix) != 0) {
        const bool present = Left(record.MobileNumber, CharCount(prefix)) == prefix;
        if (!form.vars.OnlyIfNotPresent || !present) record.MobileNumber = prefix + record.MobileNumber;
    }
    if (!IsValidEmail(record.Email)) {
        record.EmailRejected = !Trim(record.Email).empty();
        record.Email.clear();
    }

    record.Address = Doubled(read("Address"));
    record.Organisation = Doubled(read("Organisation"));
    record.Sex = UpperCase(Doubled(read("Sex")));
    record.CountryCode = Doubled(read("CountryCode"));
    record.Age = RoundToInt32(LeadingNumber(Doubled(read("Age"))));
    record.City = Doubled(read("City"));
    record.State = Doubled(read("State"));
    record.Country = Doubled(read("Country"));
    record.Zip = Doubled(read("Zip"));
    record.HomePhone = Doubled(read("HomePhone"));
    record.OfficePhone = Doubled(read("OfficePhone"));
    record.Fax = Doubled(read("Fax"));
    record.Birthday = Doubled(read("Birthday"));
    record.Anniversary = Doubled(read("Anniversary"));
    record.Hobby = Doubled(read("Hobby"));
}

std::optional<std::string> ValidateContactRecord(const ContactRecord& record, int32_t recordNumber) {
    const std::string number = std::to_string(recordNumber);
    if (!record.Birthday.empty() && !IsDate(record.Birthday))
        return "PelmarImpExp: Invalid date of birth." + number;
    if (!record.Anniversary.empty() && !IsDate(record.Anniversary))
        return "PelmarImpExp: Invalid anniversory date." + number;
    if (!record.Sex.empty() && record.Sex != "M" && record.Sex != "F")
        return "PelmarImpExp: Invalid gender." + number;
    if (!IsNumeric(record.MobileNumber) || Trim(record.FirstName).empty())
        return "PelmarImpExp: Mobile No is not numeric or Contact name is missing at record no " + number;
    return std::nullopt;
}

db::Connection& DestinationConnection() {
    SessionState& session = Session();
    const auto& connection = IsLocal(session.ImportTo) ? session.LocalConnection : session.RemoteConnection;
    if (!connection) throw Error(errnum::ObjectRequired, "Object required");
    return *connection;
}

void PrepareContactInsert(db::Command& command, db::Connection& connection) {
    StartCommand(command, connection, kContactInsertSql);
    for (const ParameterDef& def : kContactParameters) {
        const db::DataType type = def.kind == Kind::Integer ? db::adInteger
                                  : def.kind == Kind::Narrow ? db::adVarChar
                                                             : NameTextType();
        command.AppendParameter(command.CreateParameter(def.name, type, db::adParamInput, def.size));
    }
}

void PrepareGroupMapInsert(db::Command& command, db::Connection& connection) {
    StartCommand(command, connection, kGroupMapInsertSql);
    AppendInteger(command, "GROUP_ID");
    AppendInteger(command, "CONTACT_ID");
}

void PrepareLastContactIdQuery(db::Command& command, db::Connection& connection) {
    StartCommand(command, connection, kLastContactIdSql);
}

ImportRun::ImportRun(ImportForm& form) : form_(form) {}

template <typename Step>
void ImportRun::Guarded(Step&& step, bool inLoop) {
    try {
        step();
    } catch (...) {
        HandleFailure(inLoop);
    }
}

// The run's one failure handler. Inside the record loop the record is counted
// as failed and written to the rejected-records file; anywhere else the run
// simply goes on with its next step.
void ImportRun::HandleFailure(bool inLoop) {
    const ErrorInfo error = CurrentErrorInfo();
    if (counts_.ImportedCount > 0) --counts_.ImportedCount;
    counts_.HadErrors = true;
    if (!inLoop) return;
    Log("PelmarImpExp: Mobile No: " + record_.MobileNumber + ", " + error.Description);
    Logger().WriteLog(form_.vars.BadFile,
                      record_.FirstName + form_.vars.Delimiter + record_.MobileNumber, false, true);
    ++counts_.FailedCount;
}

void ImportRun::Log(const std::string& line) { WriteImportLog(form_, line); }

bool ImportRun::Run() {
    bool go = true;
    Guarded([&] { go = CheckImportSource(form_); });
    if (!go) return false;

    Guarded([&] {
        counts_.TotalRecords = form_.lvwContacts.RowCount();
        ProgressBar& bar = form_.controls.ProgressBar1;
        bar.SetVisible(true);
        bar.SetMax(counts_.TotalRecords);
        bar.SetMin(0);
        bar.SetValue(bar.Min());
    });
    Guarded([&] { LogImportStart(form_); });
    Guarded([&] { folderId_ = ResolveFolderID(); });
    Guarded([&] { PrepareContactInsert(contactInsert_, DestinationConnection()); });
    Guarded([&] { PrepareGroupMapInsert(groupMapInsert_, DestinationConnection()); });
    Guarded([&] { PrepareLastContactIdQuery(lastContactId_, DestinationConnection()); });

    for (recordNumber_ = 1; recordNumber_ <= counts_.TotalRecords; ++recordNumber_) {
        Guarded([&] { ImportRecord(); }, true);
        Guarded([&] { form_.controls.ProgressBar1.Step(); }, true);
    }
    recordNumber_ = 0;

    WriteSummary();
    Guarded([&] { ShowClosingMessage(); });
    Guarded([&] { ResetWizard(); });
    return true;
}

void ImportRun::ImportRecord() {
    ++counts_.ImportedCount;
    record_ = ContactRecord{};
    ReadContactRecord(form_, recordNumber_, record_);
    if (auto rejection = ValidateContactRecord(record_, recordNumber_)) {
        Log(*rejection);
        --counts_.ImportedCount;
        ++counts_.FailedCount;
        counts_.HadErrors = true;
        return;
    }

    const ImportToType importTo = Session().ImportTo;
    const int32_t userId = IsLocal(importTo) ? Session().UserID : 0;
    const ContactRecord& r = record_;
    contactInsert_.Execute({userId, r.FirstName, r.MiddleName, r.LastName, r.MobileNumber, r.Email,
                            r.Address, r.Organisation, folderId_, r.Sex, r.CountryCode, r.Age,
                            r.City, r.State, r.Country, r.Zip, r.HomePhone, r.OfficePhone, r.Fax,
                            TextOrNull(r.Birthday), TextOrNull(r.Anniversary), r.Hobby},
                           db::adExecuteNoRecords);
    if (r.EmailRejected)
        Log("PelmarImpExp: Email id is not valid at record no " + std::to_string(recordNumber_));

    if (IsGroup(importTo)) {
        db::Recordset last = lastContactId_.Execute();
        const int32_t contactId = last.Field(0).ToInt32();
        last.Close();
        groupMapInsert_.Execute({db::Value(Session().ImportToID), contactId}, db::adExecuteNoRecords);
    }
}

void ImportRun::WriteSummary() {
    const std::string lines[] = {
        "PelmarImpExp: Total no of records : " + std::to_string(counts_.TotalRecords),
        "PelmarImpExp: Successfully imported : " + std::to_string(counts_.ImportedCount),
        "PelmarImpExp: Failed : " + std::to_string(counts_.FailedCount),
        "PelmarImpExp: Skipped : " + std::to_string(counts_.SkippedCount),
        "",
        kRule,
    };
    for (const std::string& line : lines) Guarded([&] { Log(line); });
    Guarded([&] { Log("PelmarImpExp: Contacts import completed at " + NowDateTime()); });
    Guarded([&] { Log(""); });
}

void ImportRun::ShowClosingMessage() {
    if (counts_.HadErrors)
        ShowNotification("Contacts import has completed with errors.\r\nPlease view Import Log for deatils.",
                         msgbox::Exclamation);
    else
        ShowNotification("Contacts import completed successfully.\r\nPlease view Import Log for details.",
                         msgbox::Exclamation);
}

void ImportRun::ResetWizard() {
    ImportControls& controls = form_.controls;
    controls.ProgressBar1.SetVisible(false);
    // Emptied as if typed: the box's change handler runs; the preview stays.
    SourceLocationChanged(form_, "");
    controls.cmdCloseEnabled = true;
    controls.ActiveControl = "cmdClose";
    controls.cmdFinishEnabled = false;
    controls.cmdPrevEnabled = false;
    controls.cmdMappingEnabled = false;
}

}  // namespace pelmar
