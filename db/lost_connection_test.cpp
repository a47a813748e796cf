#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <optional>
#include <thread>

#include "db/command.h"
#include "db/connection.h"
#include "db/db_error.h"
#include "db/recordset.h"
#include "testing/db_backends.h"

namespace pelmar::db {
namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string Scalar(Connection& connection, const std::string& sql) {
    Recordset rows;
    rows.Open(sql, connection);
    return rows.Field(0).ToText();
}

// Server processes stopped (SIGSTOP) until this goes.
class Stopped {
public:
    explicit Stopped(std::vector<pid_t> pids) : pids_(std::move(pids)) {
        for (pid_t pid : pids_) kill(pid, SIGSTOP);
    }
    ~Stopped() {
        for (pid_t pid : pids_) kill(pid, SIGCONT);
    }

private:
    std::vector<pid_t> pids_;
};

class LostConnectionTest : public testing::BackendTest {
protected:
    void SetUp() override {
        testing::BackendTest::SetUp();
        if (!IsSkipped() && GetParam().kind == testing::BackendKind::SQLite) GTEST_SKIP() << "no server";
    }
    bool Postgres() const { return GetParam().kind == testing::BackendKind::PostgreSQL; }

    // Ends the session `id` from another one and waits until it is gone.
    void Terminate(const std::string& id) {
        Connection other;
        other.Open(ConnectionString());
        Command kill;
        kill.SetActiveConnection(other);
        kill.CommandText = Postgres() ? "SELECT pg_terminate_backend(" + id + ", 5000)" : "KILL CONNECTION " + id;
        kill.Execute({}, adExecuteNoRecords);
        const std::string left = Postgres() ? "SELECT COUNT(*) FROM pg_stat_activity WHERE pid=" + id
                                            : "SELECT COUNT(*) FROM information_schema.PROCESSLIST WHERE ID=" + id;
        for (int i = 0; i < 100 && Scalar(other, left) != "0"; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    // What stops the server answering the session `id`: its backend and the
    // postmaster (PostgreSQL), or the whole server (MariaDB).
    std::vector<pid_t> ServerProcesses(Connection& connection, const std::string& id) {
        if (!Postgres()) {
            std::ifstream file(Scalar(connection, "SELECT @@pid_file"));
            pid_t server = 0;
            file >> server;
            return {server};
        }
        std::ifstream status("/proc/" + id + "/status");
        std::string key;
        pid_t parent = 0;
        while (status >> key && key != "PPid:") {
        }
        status >> parent;
        return {std::stoi(id), parent};
    }
};

// The call under way ends in bounded time, and every later one fails at once
// with its error, until the connection is opened again.
TEST_P(LostConnectionTest, LaterCallsFailAtOnceWithTheSameError) {
    for (const bool stop : {false, true}) {
        SCOPED_TRACE(stop ? "server stopped" : "session terminated");
        Connection connection;
        connection.Open(ConnectionString() + "CommandTimeout=1;ConnectTimeout=1;");
        const std::string id = Scalar(connection, Postgres() ? "SELECT pg_backend_pid()" : "SELECT CONNECTION_ID()");
        std::optional<Stopped> stopped;
        if (!stop) {
            Terminate(id);
        } else {
            const std::vector<pid_t> pids = ServerProcesses(connection, id);
            if (std::any_of(pids.begin(), pids.end(), [](pid_t pid) { return pid <= 0 || kill(pid, 0) != 0; }))
                GTEST_SKIP() << "cannot signal the server's processes";
            stopped.emplace(pids);
        }
        std::string description;
        auto start = std::chrono::steady_clock::now();
        try {
            Scalar(connection, "SELECT 1");
            ADD_FAILURE() << "the lost session answered";
        } catch (const DbError& e) {
            description = e.what();
        }
        EXPECT_LT(SecondsSince(start), 1 + 2 + 1);
        if (stop) {
            EXPECT_NE(description.find("timed out"), std::string::npos) << description;
        }
        start = std::chrono::steady_clock::now();
        try {
            Scalar(connection, "SELECT 2");
            ADD_FAILURE() << "a later call ran";
        } catch (const DbError& e) {
            EXPECT_EQ(e.what(), description);
        }
        EXPECT_LT(SecondsSince(start), 0.5);
        if (stop) {  // a new session cannot log in either
            start = std::chrono::steady_clock::now();
            Connection another;
            EXPECT_THROW(another.Open(connection.ConnectionString()), DbError);
            EXPECT_LT(SecondsSince(start), 1 + 2 + 1);
        }
        stopped.reset();
        connection.Close();
        connection.Open();
        EXPECT_EQ(Scalar(connection, "SELECT 3"), "3");
    }
}

PELMAR_INSTANTIATE_BACKEND_TESTS(LostConnectionTest);

}  // namespace
}  // namespace pelmar::db
