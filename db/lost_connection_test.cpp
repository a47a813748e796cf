#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>

#include "db/command.h"
#include "db/connection.h"
#include "db/db_error.h"
#include "testing/db_backends.h"

namespace pelmar::db {
namespace {

using test::BackendKind;

// The error a call fails with ("" when it does not) and the seconds it took.
std::pair<std::string, double> Failure(const std::function<void()>& call) {
    const auto start = std::chrono::steady_clock::now();
    std::string what;
    try {
        call();
    } catch (const DbError& e) {
        what = e.what();
    }
    return {what, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count()};
}

std::string Scalar(Connection& connection, const std::string& sql) {
    return test::SelectRows(connection, sql).at(0).at(0);
}

// Has the server end `connection`'s session, through the open `other`.
void EndSession(Connection& connection, Connection& other, bool pg) {
    const std::string id = Scalar(connection, pg ? "SELECT pg_backend_pid()" : "SELECT CONNECTION_ID()");
    Command end;
    end.SetActiveConnection(other);
    end.CommandText = pg ? "SELECT pg_terminate_backend(" + id + ", 5000)" : "KILL CONNECTION " + id;
    end.Execute({}, adExecuteNoRecords);
    // MariaDB's KILL does not wait for the session to go.
    const std::string gone = "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID=" + id;
    for (int i = 0; !pg && i < 250 && Scalar(other, gone) != "0"; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// True once every thread of `pid` has stopped: a signalled process finishes
// what its threads are running first, and may answer a query meanwhile.
bool Stopped(pid_t pid) {
    std::error_code error;
    for (const auto& task : std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
        std::ifstream file(task.path() / "stat");  // "tid (name) state ..."
        std::string line;
        std::getline(file, line);
        const std::size_t close = line.rfind(')');
        if (close == std::string::npos || close + 2 >= line.size() || line[close + 2] != 'T') return false;
    }
    return !error;
}

// Stops (SIGSTOP) the server processes `connection` talks to, PostgreSQL's
// session backend and its postmaster or the MariaDB server, and returns
// them; none when they cannot be signalled.
std::vector<pid_t> StopServer(Connection& connection, bool pg) {
    std::string id = Scalar(connection, pg ? "SELECT pg_backend_pid()" : "SELECT @@pid_file"), word;
    pid_t parent = 0;
    std::ifstream file(pg ? "/proc/" + id + "/stat" : id);  // "pid (name) state ppid ..."
    file >> id >> word >> word >> parent;
    std::vector<pid_t> stopped = {std::stoi(id)};
    if (pg) stopped.push_back(parent);
    if (kill(stopped.front(), 0) != 0) return {};
    for (pid_t pid : stopped) kill(pid, SIGSTOP);
    for (pid_t pid : stopped)
        for (int i = 0; i < 200 && !Stopped(pid); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    return stopped;
}

class LostConnectionTest : public test::BackendTest {};

TEST_P(LostConnectionTest, LaterCallsFailAtOnceWithTheSameError) {
    enum class Loss { SlowStatement, SlowCommand, SessionEnded, ServerStopped };
    const struct {
        const char* name;
        Loss loss;
        const char* says;
        double within;
    } cases[] = {
        {"CommandTimeout=1 in the connection string", Loss::SlowStatement, "timed out after 1 second", 1 + 2},
        {"CommandTimeout 1 on the command", Loss::SlowCommand, "timed out after 1 second", 1 + 2},
        {"session ended by the server", Loss::SessionEnded, "", 1},
        {"server stopped", Loss::ServerStopped, "timed out after 1 second", 1 + 2 + 1},
    };
    const BackendKind kind = GetParam().kind;
    const bool pg = kind == BackendKind::PostgreSQL;
    const std::string slow = pg                             ? "SELECT pg_sleep(60)"
                             : kind == BackendKind::MariaDB ? "SELECT SLEEP(60)"
                                                            : "WITH RECURSIVE c(x) AS (SELECT 1 UNION ALL "
                                                              "SELECT x + 1 FROM c) SELECT count(*) FROM c";
    for (const auto& c : cases) {
        if (kind == BackendKind::SQLite && c.loss >= Loss::SessionEnded) continue;
        SCOPED_TRACE(c.name);
        Connection connection, other;
        connection.Open(ConnectionString() + (c.loss == Loss::SlowCommand ? "" : "CommandTimeout=1;") +
                        "ConnectTimeout=1;");
        Command call;
        call.SetActiveConnection(connection);
        call.CommandText = c.loss < Loss::SessionEnded ? slow : "SELECT 1";
        if (c.loss == Loss::SlowCommand) call.CommandTimeout = 1;
        std::vector<pid_t> stopped;  // continued (SIGCONT) however the case ends
        const std::shared_ptr<void> resume(nullptr, [&](void*) {
            for (pid_t pid : stopped) kill(pid, SIGCONT);
        });
        if (c.loss == Loss::SessionEnded) {
            other.Open(ConnectionString());
            EndSession(connection, other, pg);
        }
        if (c.loss == Loss::ServerStopped) {
            stopped = StopServer(connection, pg);
            if (stopped.empty()) GTEST_SKIP() << "cannot signal the server's processes";
        }
        const auto [description, seconds] = Failure([&] { call.Execute(); });
        EXPECT_NE(description, "");
        EXPECT_NE(description.find(c.says), std::string::npos) << description;
        EXPECT_LT(seconds, c.within);
        const auto later = Failure([&] { Scalar(connection, "SELECT 2"); });
        EXPECT_EQ(later.first, description);
        EXPECT_LT(later.second, 0.5);
        if (c.loss == Loss::ServerStopped) {  // nor can a new session log in
            const auto login = Failure([&] { Connection().Open(connection.ConnectionString()); });
            EXPECT_NE(login.first.find("timed out"), std::string::npos) << login.first;
            EXPECT_LT(login.second, 1 + 2 + 1);
        }
        for (pid_t pid : std::exchange(stopped, {})) kill(pid, SIGCONT);
        connection.Close();
        connection.Open();
        EXPECT_EQ(Scalar(connection, "SELECT 3"), "3");
    }
}

PELMAR_INSTANTIATE_BACKEND_TESTS(LostConnectionTest);

}  // namespace
}  // namespace pelmar::db
