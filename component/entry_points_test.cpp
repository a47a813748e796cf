#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/ui.h"
#include "component/manager.h"
#include "component/session_state.h"
#include "component/window_host.h"
#include "db/command.h"
#include "db/connection.h"
#include "export/export_dialog.h"
#include "import/import_form.h"
#include "testing/db_backends.h"

namespace pelmar {
namespace {

// Records what the entry points show, and the connections' states while shown.
class RecordingWindowHost : public WindowHost {
public:
    void ShowImportWizard(ImportForm& wizard) override {
        wizards.push_back(&wizard);
        freshWizards.push_back(wizard.vars.SourceFile.empty());
        wizard.vars.SourceFile = "touched by the previous showing";
        Record();
    }
    void ShowExportDialog(ExportDialog& dialog) override {
        dialogs.push_back(&dialog);
        destinationsSeen.push_back(dialog.DestinationFile);
        dialog.DestinationFile = "kept.csv";
        Record();
    }

    std::vector<ImportForm*> wizards;
    std::vector<bool> freshWizards;
    std::vector<ExportDialog*> dialogs;
    std::vector<std::string> destinationsSeen;
    std::vector<bool> remoteOpen, localOpen;

private:
    void Record() {
        const SessionState& s = Session();
        remoteOpen.push_back(s.RemoteConnection && s.RemoteConnection->State() == db::adStateOpen);
        localOpen.push_back(s.LocalConnection && s.LocalConnection->State() == db::adStateOpen);
    }
};

class EntryPointsTest : public testing::BackendTest {
protected:
    void SetUp() override {
        Session() = SessionState{};
        SetUserInterface(ui_);
        SetWindowHost(host_);
        BackendTest::SetUp();
        if (IsSkipped()) return;
        db::Connection connection;
        connection.Open(ConnectionString());
        // ID, ADMIN, DISABLED, DELETED
        for (const char* row : {"1, 1, 0, 0", "2, 0, 0, 0", "3, 0, 1, 0", "4, 1, 0, 1", "5, 2, 0, 0",
                                "6, NULL, 0, 0"})
            Exec(connection, std::string("INSERT INTO SMS_USERS (ID, ADMIN, DISABLED, DELETED) VALUES (") +
                                 row + ")");
    }
    void TearDown() override {
        SetWindowHost(nullptr);
        SetUserInterface(nullptr);
        Session() = SessionState{};
    }

    static void Exec(db::Connection& connection, const std::string& sql) {
        db::Command command;
        command.SetActiveConnection(connection);
        command.CommandText = sql;
        command.Execute({}, db::adExecuteNoRecords);
    }

    void InitAt(RunApplicationAt runAt) {
        manager_.Init(ConnectionString(), ConnectionString(), runAt, LogPath());
        ASSERT_TRUE(Session().InitDone);
    }
    std::string LogPath() const { return Folder().file("impexp.log"); }
    std::string Log() const { return testing::ReadFile(LogPath()); }
    bool Logged(const std::string& line) const { return Contains(line + "\n"); }
    bool Contains(const std::string& text) const { return Log().find(text) != std::string::npos; }
    bool ConnectionsClosed() const {
        const SessionState& s = Session();
        return s.RemoteConnection->State() == db::adStateClosed &&
               (!s.LocalConnection || s.LocalConnection->State() == db::adStateClosed);
    }

    Manager manager_;
    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
    std::shared_ptr<RecordingWindowHost> host_ = std::make_shared<RecordingWindowHost>();
};

TEST_P(EntryPointsTest, CallsBeforeInitRefuseAndSaySo) {
    manager_.SetLogFile(LogPath());
    int32_t user = 2;
    EXPECT_EQ(manager_.ImportContacts(user), 0);
    user = 3;
    EXPECT_EQ(manager_.ExportContacts(user), 0);

    EXPECT_EQ(Session().UserID, 3);
    ASSERT_EQ(ui_->messages.size(), 2u);
    for (const auto& message : ui_->messages) {
        EXPECT_EQ(message.prompt, "Initialisation routine for the DLL has not been done.");
        EXPECT_EQ(message.style, 16);
    }
    EXPECT_EQ(Log(),
              "PelmarImpExp: Could not load edit contacts because initialisation routine not completed....\n"
              "PelmarImpExp: Could not load export contacts because initialisation routine not completed....\n");
    EXPECT_TRUE(host_->wizards.empty());
    EXPECT_TRUE(host_->dialogs.empty());
}

struct UserCase {
    int32_t user;
    UserType before;
    bool found;
    UserType after;
};

const std::vector<UserCase> kUserCases = {
    {1, GeneralUser, true, Administrator},   // ADMIN 1
    {2, Administrator, true, GeneralUser},   // ADMIN 0
    {3, Administrator, false, Administrator},  // disabled
    {4, GeneralUser, false, GeneralUser},    // deleted
    {99, GeneralUser, false, GeneralUser},   // unknown
    {5, Administrator, true, Administrator},  // ADMIN 2 changes nothing
    {6, GeneralUser, true, GeneralUser},     // nor does a Null
    {6, Administrator, true, Administrator},
};

TEST_P(EntryPointsTest, ImportChecksTheUserAtClientAndServer) {
    for (RunApplicationAt runAt : {RuntAtClient, RuntAtServer}) {
        InitAt(runAt);
        for (const UserCase& c : kUserCases) {
            SCOPED_TRACE("RunAt " + std::to_string(runAt) + ", user " + std::to_string(c.user));
            ui_->messages.clear();
            host_->wizards.clear();
            Session().CurrentUserType = c.before;
            int32_t user = c.user;

            EXPECT_EQ(manager_.ImportContacts(user), c.found ? 1 : 0);

            EXPECT_EQ(Session().UserID, c.user);
            EXPECT_EQ(Session().CurrentUserType, c.after);
            EXPECT_EQ(host_->wizards.size(), c.found ? 1u : 0u);
            EXPECT_TRUE(ConnectionsClosed());
            if (c.found) {
                EXPECT_TRUE(ui_->messages.empty());
                EXPECT_FALSE(host_->remoteOpen.back()) << "the wizard opens its own connections";
            } else {
                ASSERT_EQ(ui_->messages.size(), 1u);
                EXPECT_EQ(ui_->messages[0].prompt, "User has been either deleted or disabled.");
                EXPECT_EQ(ui_->messages[0].style, 16);
                EXPECT_TRUE(Logged("PelmarImpExp: User has been either deleted or disabled."));
            }
        }
    }
}

TEST_P(EntryPointsTest, ExportAtServerChecksTheUserAndKeepsConnectionsOpenWhileShown) {
    InitAt(RuntAtServer);
    for (const UserCase& c : kUserCases) {
        SCOPED_TRACE("user " + std::to_string(c.user));
        ui_->messages.clear();
        host_->dialogs.clear();
        Session().CurrentUserType = c.before;
        int32_t user = c.user;

        EXPECT_EQ(manager_.ExportContacts(user), c.found ? 1 : 0);

        EXPECT_EQ(Session().CurrentUserType, c.after);
        EXPECT_EQ(host_->dialogs.size(), c.found ? 1u : 0u);
        EXPECT_TRUE(ConnectionsClosed());
        if (c.found) {
            EXPECT_TRUE(host_->remoteOpen.back());
        } else {
            ASSERT_EQ(ui_->messages.size(), 1u);
            EXPECT_EQ(ui_->messages[0].prompt, "User has been either deleted or disabled");
            EXPECT_TRUE(Logged("PelmarImpExp: Cannot Export. Could not open specified database."));
        }
    }
}

TEST_P(EntryPointsTest, ExportAtClientShowsTheDialogForAnyUserWithoutReadingUsers) {
    InitAt(RuntAtClient);
    {
        db::Connection connection;
        connection.Open(ConnectionString());
        Exec(connection, "DROP TABLE SMS_USERS");
    }
    Session().CurrentUserType = Administrator;
    for (int32_t user : {4, 99}) {
        EXPECT_EQ(manager_.ExportContacts(user), 1);
        EXPECT_TRUE(host_->remoteOpen.back());
        EXPECT_TRUE(host_->localOpen.back());
        EXPECT_TRUE(ConnectionsClosed());
    }
    EXPECT_EQ(Session().CurrentUserType, Administrator);
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_P(EntryPointsTest, ImportStartsAFreshWizardAndExportReusesItsDialog) {
    InitAt(RuntAtServer);
    ThreadExportDialog().DestinationFile.clear();
    int32_t user = 1;
    for (int call = 0; call < 2; ++call) {
        ASSERT_EQ(manager_.ImportContacts(user), 1);
        ASSERT_EQ(manager_.ExportContacts(user), 1);
    }
    EXPECT_EQ(host_->freshWizards, (std::vector<bool>{true, true}));
    ASSERT_EQ(host_->dialogs.size(), 2u);
    EXPECT_EQ(host_->dialogs[0], host_->dialogs[1]);
    EXPECT_EQ(host_->destinationsSeen, (std::vector<std::string>{"", "kept.csv"}));
}

TEST_P(EntryPointsTest, FailureLeavesTheLocalConnectionOpenUntilInit) {
    InitAt(RuntAtClient);
    int32_t user = 2;
    SetWindowHost(nullptr);  // showing the dialog fails

    EXPECT_EQ(manager_.ExportContacts(user), 0);
    EXPECT_TRUE(Contains("PelmarImpExp: Error occured. Sub: ExportContacts, Module: Manager"));
    EXPECT_EQ(Session().LocalConnection->State(), db::adStateOpen);

    SetWindowHost(host_);
    EXPECT_EQ(manager_.ExportContacts(user), 0) << "the local connection is still open";
    EXPECT_EQ(manager_.ImportContacts(user), 0);
    EXPECT_TRUE(Contains("PelmarImpExp: Error occured. Sub: ImportContacts, Module: Manager"));
    EXPECT_TRUE(host_->dialogs.empty());
    EXPECT_TRUE(host_->wizards.empty());

    InitAt(RuntAtClient);
    EXPECT_EQ(manager_.ExportContacts(user), 1);
    EXPECT_EQ(manager_.ImportContacts(user), 1);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(EntryPointsTest);

}  // namespace
}  // namespace pelmar
