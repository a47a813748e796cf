#include "component/manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "component/component_folder.h"
#include "component/window_host.h"
#include "session/logger_factory.h"
#include "session/session_state.h"
#include "testing/db_backends.h"
#include "testing/session_fixture.h"

namespace pelmar {
namespace {

using test::ReadLines;

using Lines = std::vector<std::string>;
const std::string kStart = "<stamp> PelmarImpExp: Starting initialization routine...";
const std::string kDone = "<stamp> PelmarImpExp: Initialization routine completed.....";
const std::string kError = "PelmarImpExp: Error occured. Sub: Init, Module: Manager [Error ...";

// The log's lines with their time stamps marked and error records cut after
// their number's opening: Init stamps its lines, not its error record.
Lines Logged(const std::string& path) {
    static const std::regex stamp(R"(^\d\d/\d\d/\d{4} \d\d:\d\d:\d\d )"), error(R"( \[Error .*)");
    Lines lines = ReadLines(path);
    for (auto& line : lines)
        line = std::regex_replace(std::regex_replace(line, stamp, "<stamp> "), error, " [Error ...");
    return lines;
}

class InitTest : public test::BackendTest {
protected:
    void SetUp() override {
        test::BackendTest::SetUp();
        log_ = Folder().file("init.log");
        // A missing SQLite file, or the server's string pointed at a port nobody listens on.
        unreachable_ = GetParam().kind == test::BackendKind::SQLite
                           ? "Driver=SQLite3;Database=" + Folder().file("missing/none.db") + ";"
                           : std::regex_replace(ConnectionString(), std::regex("Port=[0-9]+"), "Port=1");
    }
    void TearDown() override { SetEventLoggerFactory({}); }
    std::string log_, unreachable_;
    SessionState session;
    Manager manager_{session};
};

TEST_P(InitTest, SuccessLogsWhereTheTrimmedArgumentOrTheComponentFolderSaysAndLeavesConnectionsClosed) {
    const std::string own = ComponentFolder() + "/ImportExport.log";
    const std::string given = Folder().file("given.log");
    const struct {
        bool omitted;
        std::string argument, expected;
    } cases[] = {{true, "", own}, {false, "", own}, {false, "   ", own}, {false, "  " + given + "   ", given}};
    const SessionState& s = session;
    for (const auto& c : cases) {
        SCOPED_TRACE("'" + c.argument + "'");
        std::filesystem::remove(c.expected);
        if (c.omitted)
            manager_.Init(ConnectionString(), ConnectionString(), RuntAtClient);
        else
            manager_.Init(ConnectionString(), ConnectionString(), RuntAtClient, c.argument);
        EXPECT_EQ(manager_.LogFile(), c.expected);
        EXPECT_EQ(Logged(c.expected), (Lines{kStart, kDone}));
        std::filesystem::remove(c.expected);
        ASSERT_TRUE(s.InitDone && s.RemoteConnection && s.LocalConnection && s.Logger);
        EXPECT_EQ(std::tuple(s.ClientDBString, s.RemoteConnection->State(), s.LocalConnection->State()),
                  std::tuple(ConnectionString(), db::adStateClosed, db::adStateClosed));
    }

    // At the server the client's string is never touched.
    session = SessionState{};
    session.ClientDBString = "earlier";
    manager_.Init("Driver=SQLite3;Database=/no/such/client.db", ConnectionString(), RuntAtServer, log_);
    EXPECT_TRUE(s.InitDone && !s.LocalConnection);
    EXPECT_EQ(std::tuple(s.RunAt, s.ClientDBString, s.RemoteConnection->State()),
              std::tuple(RuntAtServer, "earlier", db::adStateClosed));
}

// RunAt changes only once the remote database was reached.
TEST_P(InitTest, DatabaseThatCannotOpenRecordsTheErrorAndClosesBoth) {
    const struct {
        bool remoteFails;
        RunApplicationAt expectedRunAt;
    } cases[] = {{true, RuntAtServer}, {false, RuntAtClient}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.remoteFails ? "remote" : "local");
        manager_.Init(ConnectionString(), ConnectionString(), RuntAtServer, log_);
        ASSERT_TRUE(session.InitDone);
        std::filesystem::remove(log_);

        manager_.Init(c.remoteFails ? ConnectionString() : unreachable_,
                      c.remoteFails ? unreachable_ : ConnectionString(), RuntAtClient, log_);
        const SessionState& s = session;
        EXPECT_EQ(std::tuple(s.InitDone, s.RunAt, s.RemoteConnection->State()),
                  std::tuple(false, c.expectedRunAt, db::adStateClosed));
        EXPECT_TRUE(c.remoteFails || s.LocalConnection->State() == db::adStateClosed);
        EXPECT_EQ(Logged(log_), (Lines{kStart, kError}));
    }
}

TEST_P(InitTest, FailureEscapesOnlyWhenNoLoggerWasEverMade) {
    SetEventLoggerFactory([] { return std::shared_ptr<EventLogger>(); });
    EXPECT_ANY_THROW(manager_.Init(ConnectionString(), ConnectionString(), RuntAtClient, log_));
    EXPECT_FALSE(session.InitDone);

    // An earlier Init's logger records the failure instead.
    SetEventLoggerFactory({});
    manager_.Init(ConnectionString(), ConnectionString(), RuntAtClient, log_);
    std::filesystem::remove(log_);
    SetEventLoggerFactory([] { return std::shared_ptr<EventLogger>(); });
    EXPECT_NO_THROW(manager_.Init(ConnectionString(), ConnectionString(), RuntAtClient, log_));
    EXPECT_FALSE(session.InitDone);
    EXPECT_EQ(Logged(log_), Lines{kError});

    // Nor does a log that cannot be written (a folder in its place).
    SetEventLoggerFactory({});
    std::filesystem::remove(log_);
    std::filesystem::create_directories(log_);
    EXPECT_NO_THROW(manager_.Init(ConnectionString(), ConnectionString(), RuntAtClient, log_));
    EXPECT_FALSE(session.InitDone);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(InitTest);

class CountingHost : public WindowHost {
public:
    void ShowImportWizard(ImportForm&) override {}
    void ShowExportDialog(ExportDialog&) override {}
    void UnloadWindows() override { ++unloads; }
    int unloads = 0;
};

TEST(ManagerTest, ManagersShareTheirThreadsStateAndEndingOneUnloadsOnlyItsThreadsWindows) {
    Session() = SessionState{};
    auto host = std::make_shared<CountingHost>();
    SetWindowHost(host);
    auto first = std::make_unique<Manager>();
    auto second = std::make_unique<Manager>();
    first->SetLogFile("main.log");
    Session().InitDone = true;
    EXPECT_EQ(second->LogFile(), "main.log");

    std::string seenThere = "unset";
    auto otherHost = std::make_shared<CountingHost>();
    std::thread([&] {
        SetWindowHost(otherHost);
        {
            Manager there;
            seenThere = there.LogFile();
            there.SetLogFile("other.log");
            second.reset();  // ended away from its thread: its windows are not here
        }
        SetWindowHost(nullptr);
    }).join();
    EXPECT_EQ(seenThere, "");
    EXPECT_EQ(otherHost->unloads, 1) << "only the Manager made there";
    EXPECT_EQ(host->unloads, 0);

    first.reset();
    EXPECT_EQ(host->unloads, 1) << "ending a Manager unloads the windows";
    EXPECT_TRUE(Session().InitDone) << "but the state stays";
    EXPECT_EQ(Session().LogFilePath, "main.log");
    SetWindowHost(nullptr);
    Session() = SessionState{};
}

}  // namespace
}  // namespace pelmar
