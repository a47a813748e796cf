#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "component/manager.h"
#include "component/window_host.h"
#include "forms/export_dialog.h"
#include "forms/import_form.h"
#include "session/logger_factory.h"
#include "session/session_state.h"
#include "testing/session_fixture.h"

namespace pelmar {
namespace {

using test::ReadLines;

// Records what the entry points show, and the connections' states while shown.
class RecordingWindowHost : public WindowHost {
public:
    void ShowImportWizard(ImportForm& wizard) override {
        freshWizards.push_back(wizard.vars.SourceFile.empty());
        wizard.vars.SourceFile = "touched by the previous showing";
        Record(wizard.session);
    }
    void ShowExportDialog(ExportDialog& dialog) override {
        dialogs.push_back(&dialog);
        dialog.DestinationFile = "kept.csv";
        Record(dialog.State());
    }
    std::vector<bool> freshWizards;
    std::vector<ExportDialog*> dialogs;
    std::vector<bool> remoteOpen, localOpen;
    std::vector<const SessionState*> states;  // the state each window was handed

private:
    void Record(const SessionState& s) {
        states.push_back(&s);
        remoteOpen.push_back(s.RemoteConnection->State() == db::adStateOpen);
        localOpen.push_back(s.LocalConnection && s.LocalConnection->State() == db::adStateOpen);
    }
};

// Notes every call as "<logger>: <call> <flags or style> <message>".
class RecordingLogger : public EventLogger {
public:
    RecordingLogger(int id, std::vector<std::string>& calls) : id_(std::to_string(id) + ": "), calls_(calls) {}
    void WriteLog(const std::string&, const std::string& message, LogStamp stamp, LogWrite write) override {
        calls_.push_back(id_ + "log " + Flags(stamp, write) + message);
    }
    void WriteErrorLog(const std::string&, const ErrorInfo&, const std::string& message, LogStamp stamp,
                       LogWrite write) override {
        calls_.push_back(id_ + "error " + Flags(stamp, write) + message);
    }
    void ShowMessage(const std::string& message, int32_t style) override {
        calls_.push_back(id_ + "show " + std::to_string(style) + " " + message);
    }

private:
    static std::string Flags(LogStamp a, LogWrite b) {
        return std::string(a == LogStamp::DateTime ? "T" : "F") + (b == LogWrite::Append ? "T " : "F ");
    }
    std::string id_;
    std::vector<std::string>& calls_;
};

class EntryPointsTest : public test::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        if (IsSkipped()) return;
        SetWindowHost(host_);
        Exec(
            {"INSERT INTO SMS_USERS (ID, ADMIN, DISABLED, DELETED) VALUES "
             "(1, 1, 0, 0), (2, 0, 0, 0), (3, 0, 1, 0), (4, 1, 0, 1), (5, 2, 0, 0), (6, NULL, 0, 0)"});
    }
    void TearDown() override {
        SetEventLoggerFactory({});
        SessionTest::TearDown();
    }
    void InitAt(RunApplicationAt runAt) {
        manager_.Init(ConnectionString(), ConnectionString(), runAt, LogPath());
        ASSERT_TRUE(session.InitDone);
    }
    std::string LogPath() const { return Folder().file("impexp.log"); }
    bool LoggedError(const std::string& message) const {
        for (const std::string& line : ReadLines(LogPath()))
            if (line.rfind(message + " [Error ", 0) == 0) return true;
        return false;
    }
    bool ConnectionsClosed() const {
        return session.RemoteConnection->State() == db::adStateClosed &&
               (!session.LocalConnection || session.LocalConnection->State() == db::adStateClosed);
    }

    Manager manager_{session};
    std::shared_ptr<RecordingWindowHost> host_ = std::make_shared<RecordingWindowHost>();
};

TEST_P(EntryPointsTest, UserChecksSetTheUserTypeFromAdminOneOrZeroOnly) {
    const struct {
        int32_t user;
        UserType before;
        bool found;
        UserType after;
    } cases[] = {
        {1, GeneralUser, true, Administrator},     // ADMIN 1
        {2, Administrator, true, GeneralUser},     // ADMIN 0
        {3, Administrator, false, Administrator},  // disabled
        {4, GeneralUser, false, GeneralUser},      // deleted
        {99, GeneralUser, false, GeneralUser},     // unknown
        {5, Administrator, true, Administrator},   // ADMIN 2 changes nothing
        {6, GeneralUser, true, GeneralUser},       // nor does a Null
        {6, Administrator, true, Administrator},
    };
    // Import checks the user wherever it runs; export only at the server.
    using Place = std::pair<RunApplicationAt, bool>;  // run at, import
    for (const auto& [runAt, import] :
         {Place{RuntAtClient, true}, Place{RuntAtServer, true}, Place{RuntAtServer, false}}) {
        InitAt(runAt);
        for (const auto& c : cases) {
            SCOPED_TRACE(testing::Message() << "RunAt " << runAt << " import " << import << ", user " << c.user);
            ui->messages.clear();
            host_->remoteOpen.clear();
            session.CurrentUserType = c.before;
            int32_t user = c.user;
            EXPECT_EQ(import ? manager_.ImportContacts(user) : manager_.ExportContacts(user), c.found ? 1 : 0);
            EXPECT_EQ(std::pair(session.UserID, session.CurrentUserType), std::pair(c.user, c.after));
            EXPECT_TRUE(ConnectionsClosed());
            // The messages' texts: LoggersOfTheEntryPoints. The wizard
            // opens its own connections; the export dialog uses the call's.
            EXPECT_EQ(ui->messages.size(), c.found ? 0u : 1u);
            EXPECT_EQ(host_->remoteOpen, c.found ? std::vector<bool>{!import} : std::vector<bool>{});
        }
    }
}

TEST_P(EntryPointsTest, FreshWizardEachImportAndAtClientOneDialogForAnyUserWithoutReadingUsers) {
    InitAt(RuntAtClient);
    for (int32_t user : {1, 1}) ASSERT_EQ(manager_.ImportContacts(user), 1);
    EXPECT_EQ(host_->freshWizards, (std::vector<bool>{true, true}));

    Exec({"DROP TABLE SMS_USERS"});
    ThreadExportDialog(session).DestinationFile.clear();
    session.CurrentUserType = Administrator;
    for (int32_t user : {4, 99}) {
        EXPECT_EQ(manager_.ExportContacts(user), 1);
        EXPECT_TRUE(host_->remoteOpen.back() && host_->localOpen.back());
        EXPECT_TRUE(ConnectionsClosed());
    }
    EXPECT_EQ(session.CurrentUserType, Administrator);
    EXPECT_TRUE(ui->messages.empty());
    EXPECT_EQ(host_->dialogs, std::vector<ExportDialog*>(2, &ThreadExportDialog(session)));
    EXPECT_EQ(ThreadExportDialog(session).DestinationFile, "kept.csv");
    // Every window was handed the Manager's state.
    EXPECT_EQ(host_->states, std::vector<const SessionState*>(4, &session));
}

TEST_P(EntryPointsTest, FailureLeavesTheLocalConnectionOpenUntilInit) {
    InitAt(RuntAtClient);
    int32_t user = 2;
    SetWindowHost(nullptr);  // showing the dialog fails

    EXPECT_EQ(manager_.ExportContacts(user), 0);
    EXPECT_TRUE(LoggedError("PelmarImpExp: Error occured. Sub: ExportContacts, Module: Manager"));
    EXPECT_EQ(session.LocalConnection->State(), db::adStateOpen);

    SetWindowHost(host_);
    EXPECT_EQ(manager_.ExportContacts(user), 0) << "the local connection is still open";
    EXPECT_EQ(manager_.ImportContacts(user), 0);
    EXPECT_TRUE(LoggedError("PelmarImpExp: Error occured. Sub: ImportContacts, Module: Manager"));
    EXPECT_TRUE(host_->dialogs.empty() && host_->freshWizards.empty());

    InitAt(RuntAtClient);
    EXPECT_EQ(manager_.ExportContacts(user), 1);
    EXPECT_EQ(manager_.ImportContacts(user), 1);
}

// Before Init both refuse; after it, import logs through Init's logger and
// export through one private logger per call, made on first use.
TEST_P(EntryPointsTest, LoggersOfTheEntryPoints) {
    int32_t user = 99;
    // A logging component that cannot be made: refused, not a crash.
    SetEventLoggerFactory([] { return std::shared_ptr<EventLogger>(); });
    EXPECT_EQ(manager_.ImportContacts(user) + manager_.ExportContacts(user), 0);

    std::vector<std::string> calls;
    int made = 0;
    SetEventLoggerFactory([&] { return std::make_shared<RecordingLogger>(made++, calls); });
    EXPECT_EQ(manager_.ImportContacts(user), 0);  // logger 0, private: no Init has made one
    user = 3;
    EXPECT_EQ(manager_.ExportContacts(user), 0);  // logger 1
    EXPECT_EQ(session.UserID, 3);
    EXPECT_TRUE(host_->freshWizards.empty() && host_->dialogs.empty());
    InitAt(RuntAtServer);  // logger 2 becomes Init's
    user = 99;
    manager_.ImportContacts(user);  // Init's logger
    manager_.ExportContacts(user);  // logger 3, made on first use
    user = 1;
    manager_.ExportContacts(user);  // nothing to say: no logger made
    EXPECT_EQ(made, 4);

    const std::string notDone = "show 16 Initialisation routine for the DLL has not been done.";
    EXPECT_EQ(calls, (std::vector<std::string>{
                         "0: " + notDone,
                         "0: log FT PelmarImpExp: Could not load edit contacts because initialisation "
                         "routine not completed....",
                         "1: " + notDone,
                         "1: log FT PelmarImpExp: Could not load export contacts because initialisation "
                         "routine not completed....",
                         "2: log TT PelmarImpExp: Starting initialization routine...",
                         "2: log TT PelmarImpExp: Initialization routine completed.....",
                         "2: show 16 User has been either deleted or disabled.",
                         "2: log FT PelmarImpExp: User has been either deleted or disabled.",
                         "3: show 16 User has been either deleted or disabled",
                         "3: log FT PelmarImpExp: Cannot Export. Could not open specified database.",
                     }));
}

PELMAR_INSTANTIATE_BACKEND_TESTS(EntryPointsTest);

}  // namespace
}  // namespace pelmar
