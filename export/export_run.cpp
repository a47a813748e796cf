#include "export/export_run.h"

#include <array>
#include <string>

#include "common/clock.h"
#include "common/error.h"
#include "common/general.h"
#include "common/ui.h"
#include "component/session_state.h"
#include "db/recordset.h"

namespace pelmar {

namespace {

constexpr std::array<const char*, 8> kExportFields = {
    "FNAME", "MNAME", "LNAME", "EMAIL", "ADDRESS", "MOBILENO", "ORGANISATION", "SEX"};

const std::string kFrameLine(50, '=');

// One run of ExportFile. Every step goes through Step(): a step that fails is
// logged by Failed() and the run carries on with the step after it, so a
// destination that stops accepting lines costs those lines, not the run.
class ExportRun {
public:
    ExportRun(ExportDialog& dialog, SessionState& session) : dialog_(dialog), session_(session) {}

    ExportSummary Run() {
        Step([&] { MousePointer(true); });
        Step([&] { OpenQuery(); });
        counter_ = 0;
        // A result that cannot tell whether it has rows has nothing to export.
        if (Test([&] { return rs_.Eof() || rs_.Bof(); }, true)) {
            Step([&] { MousePointer(false); });
            Step([&] { ShowNotification("No Contacts to Export.", msgbox::Exclamation); });
            summary_.NoContacts = true;
        } else {
            ExportRows();
        }
        Step([&] { dialog_.ProgressBar1.SetVisible(false); });
        Step([&] { dialog_.txtLocation.clear(); });
        Step([&] { dialog_.DestinationFile.clear(); });
        Step([&] { dialog_.Focus = ExportDialog::Control::cmdClose; });
        summary_.Errors = errorFlag_;
        summary_.Count = counter_;
        return summary_;
    }

private:
    void ExportRows() {
        ProgressBar& progress = dialog_.ProgressBar1;
        Step([&] { progress.SetVisible(true); });
        Step([&] { progress.SetMax(rs_.RecordCount()); });
        Step([&] { progress.SetMin(0); });
        Step([&] { progress.SetValue(0); });
        Step([&] { rs_.MoveFirst(); });
        Step([&] { Log(kFrameLine); });
        Step([&] { Log("PelmarImpExp: Export Destination :" + dialog_.DestinationFile); });
        Step([&] { Log("PelmarImpExp: Export started at  :" + NowDateTime()); });

        while (Test([&] { return !rs_.Eof(); }, false)) {
            for (const char* name : kExportFields) {
                // A field that cannot be read leaves the previous field's text.
                Step([&] { field_ = QuotedField(rs_.Field(name)); });
                Step([&] { line_ += field_ + ","; });
            }
            Step([&] { DropFinalComma(); });
            Step([&] { AppendLine(dialog_.DestinationFile, line_); });
            line_.clear();
            Step([&] { progress.Step(); });
            ++counter_;
            // A cursor that cannot move on would never reach its end.
            if (!Step([&] { rs_.MoveNext(); })) break;
        }

        Step([&] { Log("PelmarImpExp: " + std::to_string(counter_) + " records exported successfully."); });
        Step([&] { Log("PelmarImpExp: Export completed at  :" + NowDateTime()); });
        Step([&] { Log(kFrameLine); });
        Step([&] { Log(""); });
        Step([&] { MousePointer(false); });
        if (errorFlag_) {
            Step([&] {
                ShowNotification("Contacts export has completed with errors.\r\nPlease view Export Log for details.",
                                 msgbox::Exclamation);
            });
        } else {
            Step([&] {
                ShowNotification("Contacts successfully exported to '" + dialog_.DestinationFile +
                                     "'.\r\nPlease view Export Log for details.",
                                 msgbox::Exclamation);
            });
        }
    }

    void OpenQuery() {
        if (session_.RunAt == RuntAtClient) {
            Open("SELECT FNAME,MNAME,LNAME,EMAIL,ADDRESS,MOBILENO,ORGANISATION , SEX FROM "
                 " SMS_ABCONTACTS WHERE USER_ID=" + std::to_string(session_.UserID),
                 session_.LocalConnection);
        } else if (session_.RunAt == RuntAtServer) {
            Open("SELECT FNAME,MNAME,LNAME,EMAIL,ADDRESS,MOBILENO,ORGANISATION ,SEX FROM "
                 " SMS_ABCONTACTS ",
                 session_.RemoteConnection);
        }
        // Any other RunAt opens nothing; the end test below then fails.
    }

    void Open(const std::string& sql, const std::shared_ptr<db::Connection>& connection) {
        if (!connection) throw Error(errnum::ObjectRequired, "Object required");
        rs_.SetCursorLocation(db::adUseClient);
        rs_.Open(sql, *connection, db::adOpenDynamic, db::adLockOptimistic, -1);
    }

    static std::string QuotedField(const db::Value& value) {
        const std::string text = NullToText(value, "");
        return text.empty() ? std::string() : "\"" + text + "\"";
    }

    void DropFinalComma() {
        if (line_.empty()) throw Error(errnum::InvalidProcedureCall, "Invalid procedure call or argument");
        line_.pop_back();
    }

    void MousePointer(bool busy) {
        if (dialog_.SetBusyPointer) dialog_.SetBusyPointer(busy);
    }

    void Log(const std::string& message) {
        if (!session_.Logger) throw Error(errnum::ObjectRequired, "Object required");
        session_.Logger->WriteLog(dialog_.ExportLogFile, message, false, true);
    }

    // Runs one step; true when it did not fail.
    template <typename F>
    bool Step(F&& step) {
        try {
            step();
            return true;
        } catch (...) {
            Failed(CurrentErrorInfo());
        }
        return false;
    }

    // A test that fails is logged like any step and counts as `onFailure`.
    template <typename F>
    bool Test(F&& test, bool onFailure) {
        bool result = onFailure;
        Step([&] { result = test(); });
        return result;
    }

    void Failed(const ErrorInfo& error) {
        Log(line_);
        Log("\tPelmarImpExp: Error No :" + std::to_string(error.Number));
        Log("\tPelmarImpExp: Error Desc :" + error.Description);
        --counter_;
        errorFlag_ = true;
    }

    ExportDialog& dialog_;
    SessionState& session_;
    db::Recordset rs_;
    int32_t counter_ = 0;
    std::string line_;
    std::string field_;
    bool errorFlag_ = false;
    ExportSummary summary_;
};

}  // namespace

ExportSummary ExportFile(ExportDialog& dialog) {
    return ExportRun(dialog, Session()).Run();
}

}  // namespace pelmar
