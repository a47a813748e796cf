#include "component/manager.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "common/logger_factory.h"
#include "component/component_folder.h"
#include "component/session_state.h"
#include "db/connection.h"
#include "testing/db_backends.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

using testing::ReadFile;

const char* const kStart = "PelmarImpExp: Starting initialization routine...";
const char* const kDone = "PelmarImpExp: Initialization routine completed.....";
const char* const kError = "PelmarImpExp: Error occured. Sub: Init, Module: Manager";

std::vector<std::string> Lines(const std::string& path) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(path));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Init writes with FlagA True: the logger stamps the line.
bool IsStamped(const std::string& line, const std::string& message) {
    static const std::regex stamp(R"(^\d\d/\d\d/\d{4} \d\d:\d\d:\d\d )");
    std::smatch m;
    return std::regex_search(line, m, stamp) && line.substr(m.length()) == message;
}

// The error record is written with FlagA False: the message itself, then the
// logger's details of the failure.
bool IsErrorRecord(const std::string& line) {
    return line.rfind(std::string(kError) + " [Error ", 0) == 0;
}

// A database that cannot be reached on the back end under test: a missing
// SQLite file, or the server's string pointed at a port nobody listens on.
std::string Unreachable(const testing::Backend& backend, const testing::TempDir& folder,
                        const std::string& reachable) {
    if (backend.kind == testing::BackendKind::SQLite)
        return "Driver=SQLite3;Database=" + folder.file("missing/none.db") + ";";
    return std::regex_replace(reachable, std::regex("Port=[0-9]+", std::regex::icase), "Port=1");
}

class InitTest : public testing::BackendTest {
protected:
    void SetUp() override {
        Session() = SessionState{};
        testing::BackendTest::SetUp();
        log_ = Folder().file("init.log");
        unreachable_ = Unreachable(GetParam(), Folder(), ConnectionString());
    }
    void TearDown() override {
        SetEventLoggerFactory({});
        Session() = SessionState{};
    }
    std::string log_;
    std::string unreachable_;
};

TEST_P(InitTest, LogPathComesFromTrimmedArgumentOrTheComponentFolder) {
    const std::string own = ComponentFolder() + "/ImportExport.log";
    const std::string given = Folder().file("given.log");
    struct Case {
        const char* name;
        bool omitted;
        std::string argument;
        std::string expected;
    };
    const Case cases[] = {
        {"omitted", true, "", own},
        {"empty", false, "", own},
        {"blanks", false, "   ", own},
        {"padded", false, "  " + given + "   ", given},
        {"plain", false, given, given},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(c.expected);
        Manager manager;
        if (c.omitted) manager.Init(ConnectionString(), ConnectionString(), RuntAtClient);
        else manager.Init(ConnectionString(), ConnectionString(), RuntAtClient, c.argument);
        EXPECT_EQ(manager.LogFile(), c.expected);
        const auto lines = Lines(c.expected);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_TRUE(IsStamped(lines[0], kStart)) << lines[0];
        EXPECT_TRUE(IsStamped(lines[1], kDone)) << lines[1];
        std::filesystem::remove(c.expected);
    }
}

TEST_P(InitTest, LogFileAssignmentIsKeptAsGivenUntilTheNextInit) {
    Manager manager;
    manager.SetLogFile("  before.log ");
    EXPECT_EQ(manager.LogFile(), "  before.log ");
    manager.Init(ConnectionString(), ConnectionString(), RuntAtServer, log_);
    EXPECT_EQ(manager.LogFile(), log_);

    const std::string after = Folder().file("after.log");
    manager.SetLogFile(after);
    EXPECT_EQ(Session().LogFilePath, after);
    EXPECT_FALSE(std::filesystem::exists(after)) << "assignment writes no log line";
    EXPECT_EQ(Lines(log_).size(), 2u);
}

TEST_P(InitTest, SuccessAtClientLeavesBothConnectionsClosed) {
    Manager manager;
    manager.Init(ConnectionString(), ConnectionString(), RuntAtClient, log_);
    SessionState& s = Session();
    EXPECT_TRUE(s.InitDone);
    EXPECT_EQ(s.RunAt, RuntAtClient);
    EXPECT_EQ(s.ClientDBString, ConnectionString());
    EXPECT_EQ(s.RemoteDBString, ConnectionString());
    ASSERT_TRUE(s.RemoteConnection && s.LocalConnection && s.Logger);
    EXPECT_EQ(s.RemoteConnection->State(), db::adStateClosed);
    EXPECT_EQ(s.LocalConnection->State(), db::adStateClosed);
}

TEST_P(InitTest, AtServerTheClientStringIsNeverUsed) {
    SessionState& s = Session();
    s.ClientDBString = "earlier";
    Manager manager;
    manager.Init("Driver=SQLite3;Database=/no/such/client.db", ConnectionString(), RuntAtServer,
                 log_);
    EXPECT_TRUE(s.InitDone);
    EXPECT_EQ(s.RunAt, RuntAtServer);
    EXPECT_EQ(s.ClientDBString, "earlier");
    EXPECT_FALSE(s.LocalConnection);
    EXPECT_EQ(s.RemoteConnection->State(), db::adStateClosed);
}

TEST_P(InitTest, UnreachableRemoteFailsAndKeepsRunAt) {
    Manager manager;
    manager.Init(ConnectionString(), ConnectionString(), RuntAtServer, log_);
    ASSERT_TRUE(Session().InitDone);
    std::filesystem::remove(log_);

    manager.Init(ConnectionString(), unreachable_, RuntAtClient, log_);
    SessionState& s = Session();
    EXPECT_FALSE(s.InitDone);
    EXPECT_EQ(s.RunAt, RuntAtServer);
    EXPECT_EQ(s.RemoteDBString, unreachable_);
    EXPECT_EQ(s.RemoteConnection->State(), db::adStateClosed);
    const auto lines = Lines(log_);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(IsStamped(lines[0], kStart)) << lines[0];
    EXPECT_TRUE(IsErrorRecord(lines[1])) << lines[1];
}

TEST_P(InitTest, LocalThatCannotOpenClosesBothAndRecordsTheError) {
    Manager manager;
    manager.Init(unreachable_, ConnectionString(), RuntAtClient, log_);
    SessionState& s = Session();
    EXPECT_FALSE(s.InitDone);
    EXPECT_EQ(s.RunAt, RuntAtClient);
    ASSERT_TRUE(s.RemoteConnection && s.LocalConnection);
    EXPECT_EQ(s.RemoteConnection->State(), db::adStateClosed);
    EXPECT_EQ(s.LocalConnection->State(), db::adStateClosed);
    const auto lines = Lines(log_);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_TRUE(IsStamped(lines[0], kStart)) << lines[0];
    EXPECT_TRUE(IsErrorRecord(lines[1])) << lines[1];
}

TEST_P(InitTest, FailureEscapesOnlyWhenNoLoggerWasEverMade) {
    SetEventLoggerFactory([] { return std::shared_ptr<EventLogger>(); });
    Manager manager;
    EXPECT_ANY_THROW(manager.Init(ConnectionString(), ConnectionString(), RuntAtClient, log_));
    EXPECT_FALSE(Session().InitDone);

    // An earlier Init's logger records the failure instead.
    SetEventLoggerFactory({});
    manager.Init(ConnectionString(), ConnectionString(), RuntAtClient, log_);
    ASSERT_TRUE(Session().InitDone);
    std::filesystem::remove(log_);
    SetEventLoggerFactory([] { return std::shared_ptr<EventLogger>(); });
    EXPECT_NO_THROW(manager.Init(ConnectionString(), ConnectionString(), RuntAtClient, log_));
    EXPECT_FALSE(Session().InitDone);
    const auto lines = Lines(log_);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_TRUE(IsErrorRecord(lines[0])) << lines[0];
}

TEST_P(InitTest, UnwritableLogDoesNotEscape) {
    // A folder in place of the log file: neither the start line nor the
    // error record can be written.
    std::filesystem::create_directories(log_);
    Manager manager;
    EXPECT_NO_THROW(manager.Init(ConnectionString(), ConnectionString(), RuntAtClient, log_));
    EXPECT_FALSE(Session().InitDone);
    EXPECT_FALSE(Session().RemoteConnection);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(InitTest);

}  // namespace
}  // namespace pelmar
