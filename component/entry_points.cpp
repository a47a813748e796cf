// Manager's two working methods: check the session and the acting user, then
// show the import wizard or the export dialog through the thread's WindowHost.
#include <memory>
#include <optional>
#include <string>

#include "common/error.h"
#include "common/text.h"
#include "common/ui.h"
#include "component/import_outputs.h"
#include "component/manager.h"
#include "component/window_host.h"
#include "db/recordset.h"
#include "forms/export_dialog.h"
#include "forms/import_form.h"
#include "session/logger_factory.h"
#include "session/session_log.h"
#include "session/session_state.h"

namespace pelmar {

namespace {

constexpr const char* kNotInitialised = "Initialisation routine for the DLL has not been done.";

// Reopens what Init proved. The local open does not look at the state: a
// connection a failed call left open makes it fail until Init runs again.
void ReopenConnections(SessionState& session) {
    db::Connection& remote = RequiredConnection(session.RemoteConnection);
    if (remote.State() == db::adStateClosed) remote.Open(session.RemoteDBString, "", "", -1);
    if (session.RunAt == RuntAtClient) RequiredConnection(session.LocalConnection).Open("", "", "", -1);
}

void CloseConnections(SessionState& session) {
    RequiredConnection(session.RemoteConnection).Close();
    if (session.RunAt == RuntAtClient) RequiredConnection(session.LocalConnection).Close();
}

// The ADMIN value of the first row of the user query, nothing when the user
// is not found. The result is closed before this returns.
std::optional<db::Value> FindUser(SessionState& session, const std::string& sql) {
    db::Recordset rs;
    rs.Open(sql, RequiredConnection(session.RemoteConnection));
    std::optional<db::Value> admin;
    if (!rs.Eof()) admin = rs.Field("ADMIN");
    rs.Close();
    return admin;
}

// ADMIN 1 makes an administrator and 0 a general user; anything else,
// Null included, leaves the user type alone.
void SetCurrentUserType(SessionState& session, const db::Value& admin) {
    std::optional<double> number;
    switch (admin.GetType()) {
        case db::Value::Type::Int32:
        case db::Value::Type::Int64:
        case db::Value::Type::Double:
        case db::Value::Type::Text:
            if (IsNumeric(admin.ToText())) number = LeadingNumber(admin.ToText());
            break;
        default: break;
    }
    if (number == 1.0) session.CurrentUserType = Administrator;
    if (number == 0.0) session.CurrentUserType = GeneralUser;
}

WindowHost& RequiredWindowHost() {
    WindowHost* host = CurrentWindowHost();
    if (!host) throw Error(errnum::ObjectRequired, "No window host is installed on this thread");
    return *host;
}

}  // namespace

int32_t Manager::ImportContacts(int32_t& User_ID) {
    SessionState& session = *state_;
    session.UserID = User_ID;
    // Init's logger; a private one only when no Init ever made one.
    std::shared_ptr<EventLogger> sessionLogger = session.Logger;
    auto logger = [&]() -> EventLogger& {
        if (!sessionLogger) sessionLogger = CreateEventLogger();
        return *sessionLogger;
    };
    RecordImportOutputs(nullptr);
    try {
        // Messages and windows alike go through the thread's hooks.
        InstallWindowHostIfMissing();
        if (!session.InitDone) {
            logger().ShowMessage(kNotInitialised, msgbox::Critical);
            logger().WriteLog(
                session.LogFilePath,
                "PelmarImpExp: Could not load edit contacts because initialisation routine not completed....",
                LogStamp::None, LogWrite::Append);
            return 0;
        }
        ReopenConnections(session);
        const std::optional<db::Value> admin = FindUser(session,
                                                        "SELECT ADMIN FROM SMS_USERS WHERE "
                                                        " DISABLED = 0 AND DELETED =  0 "
                                                        " AND ID = " +
                                                            std::to_string(session.UserID));
        if (!admin) {
            logger().ShowMessage("User has been either deleted or disabled.", msgbox::Critical);
            logger().WriteLog(session.LogFilePath, "PelmarImpExp: User has been either deleted or disabled.",
                              LogStamp::None, LogWrite::Append);
            CloseConnections(session);
            return 0;
        }
        SetCurrentUserType(session, *admin);
        CloseConnections(session);
        // Each call starts a fresh wizard, discarded when it has closed.
        auto wizard = std::make_unique<ImportForm>(session);
        RequiredWindowHost().ShowImportWizard(*wizard);
        RecordImportOutputs(wizard.get());
        return 1;
    } catch (...) {
        RecordError(session, logger, CurrentErrorInfo(),
                    "PelmarImpExp: Error occured. Sub: ImportContacts, Module: Manager", LogStamp::None);
        return 0;
    }
}

int32_t Manager::ExportContacts(int32_t& User_ID) {
    SessionState& session = *state_;
    session.UserID = User_ID;
    // The call's own logger, made on first use and released when it returns.
    std::shared_ptr<EventLogger> privateLogger;
    auto logger = [&]() -> EventLogger& {
        if (!privateLogger) privateLogger = CreateEventLogger();
        return *privateLogger;
    };
    try {
        // Messages and windows alike go through the thread's hooks.
        InstallWindowHostIfMissing();
        if (!session.InitDone) {
            logger().ShowMessage(kNotInitialised, msgbox::Critical);
            logger().WriteLog(
                session.LogFilePath,
                "PelmarImpExp: Could not load export contacts because initialisation routine not completed....",
                LogStamp::None, LogWrite::Append);
            return 0;
        }
        ReopenConnections(session);
        if (session.RunAt == RuntAtServer) {
            const std::optional<db::Value> admin = FindUser(session,
                                                            "SELECT ADMIN FROM SMS_USERS WHERE "
                                                            " DISABLED = 0 AND DELETED = 0 "
                                                            " AND ID = " +
                                                                std::to_string(session.UserID));
            if (!admin) {
                logger().ShowMessage("User has been either deleted or disabled", msgbox::Critical);
                logger().WriteLog(session.LogFilePath,
                                  "PelmarImpExp: Cannot Export. Could not open specified database.", LogStamp::None,
                                  LogWrite::Append);
                RequiredConnection(session.RemoteConnection).Close();
                return 0;
            }
            SetCurrentUserType(session, *admin);
        }
        RequiredWindowHost().ShowExportDialog(ThreadExportDialog(session));
        CloseConnections(session);
        return 1;
    } catch (...) {
        RecordError(session, logger, CurrentErrorInfo(),
                    "PelmarImpExp: Error occured. Sub: ExportContacts, Module: Manager", LogStamp::None);
        return 0;
    }
}

}  // namespace pelmar
