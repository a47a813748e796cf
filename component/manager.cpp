#include "component/manager.h"

#include <exception>

#include "common/error.h"
#include "common/file.h"
#include "common/text.h"
#include "component/component_folder.h"
#include "component/window_host.h"
#include "db/connection.h"
#include "session/logger_factory.h"
#include "session/session_log.h"
#include "session/session_state.h"

namespace pelmar {

namespace {

bool IsOpen(const std::shared_ptr<db::Connection>& connection) {
    return connection && connection->State() == db::adStateOpen;
}

void LogInit(SessionState& s, const std::string& message) {
    s.Logger->WriteLog(s.LogFilePath, message, LogStamp::DateTime, LogWrite::Append);
}

}  // namespace

Manager::Manager() : Manager(Session()) {}

Manager::Manager(SessionState& state) : state_(&state) { IgnoreFileSizeSignal(); }

Manager::~Manager() {
    if (std::this_thread::get_id() != owner_) return;
    WindowHost* host = CurrentWindowHost();
    if (!host) return;
    // A destructor has no caller to report to; a window that fails to unload
    // must not take the host down with it.
    try {
        host->UnloadWindows();
    } catch (...) {
    }
}

std::string Manager::LogFile() const { return state_->LogFilePath; }

bool Manager::InitDone() const { return state_->InitDone; }

void Manager::SetLogFile(const std::string& logFile) { state_->LogFilePath = logFile; }

void Manager::Init(const std::string& p_ClientDBString, const std::string& p_RemoteDBString, RunApplicationAt p_Runfor,
                   const std::string& LogFile) {
    SessionState& s = *state_;

    // A failure to find our own folder goes straight to the caller.
    const std::string trimmed = Trim(LogFile);
    s.LogFilePath = trimmed.empty() ? DefaultLogFile() : trimmed;

    try {
        // A logger that cannot be made leaves the earlier one in place.
        s.Logger = CreateEventLogger();
        LogInit(s, "PelmarImpExp: Starting initialization routine...");

        s.RemoteConnection = std::make_shared<db::Connection>();
        s.RemoteDBString = p_RemoteDBString;
        s.RemoteConnection->Open(s.RemoteDBString, "", "", -1);
        if (!IsOpen(s.RemoteConnection)) {
            LogInit(s, "PelmarImpExp: Could not connect the remote database with the specified parameters.");
            s.InitDone = false;
            return;
        }

        s.RunAt = p_Runfor;

        if (p_Runfor == RuntAtClient) {
            s.LocalConnection = std::make_shared<db::Connection>();
            s.ClientDBString = p_ClientDBString;
            s.LocalConnection->Open(s.ClientDBString, "", "", -1);
            if (!IsOpen(s.LocalConnection)) {
                s.RemoteConnection->Close();
                LogInit(s, "PelmarImpExp: Could not connect the local database with the specified parameters.");
                s.InitDone = false;
                return;
            }
        }

        s.RemoteConnection->Close();
        if (s.RunAt == RuntAtClient) s.LocalConnection->Close();

        LogInit(s, "PelmarImpExp: Initialization routine completed.....");
        s.InitDone = true;
    } catch (...) {
        // Without a logger the failure cannot be recorded: the caller gets it.
        if (!s.Logger) throw;
        const ErrorInfo error = CurrentErrorInfo();
        if (IsOpen(s.RemoteConnection)) s.RemoteConnection->Close();
        if (s.RunAt == RuntAtClient && IsOpen(s.LocalConnection)) s.LocalConnection->Close();
        s.InitDone = false;
        RecordError(
            s, [&]() -> EventLogger& { return *s.Logger; }, error,
            "PelmarImpExp: Error occured. Sub: Init, Module: Manager", LogStamp::None);
    }
}

}  // namespace pelmar
