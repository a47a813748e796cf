// `pelmar export` run as a process, as a batch job would run it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "db/command.h"
#include "db/connection.h"
#include "testing/db_backends.h"

namespace pelmar {
namespace {

std::string ShellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

class ExportCommandTest : public testing::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        db::Connection connection;
        connection.Open(ConnectionString());
        Exec(connection, "INSERT INTO SMS_USERS (ID, ADMIN, DISABLED, DELETED) VALUES (1, 1, 0, 0)");
        Exec(connection, "INSERT INTO SMS_USERS (ID, ADMIN, DISABLED, DELETED) VALUES (4, 0, 0, 1)");
        Exec(connection, "INSERT INTO SMS_ABCONTACTS (USER_ID, FNAME, SEX) VALUES (1, 'Anna', 'F')");
        Exec(connection, "INSERT INTO SMS_ABCONTACTS (USER_ID, FNAME, SEX) VALUES (1, 'Bert', 'M')");
    }

    static void Exec(db::Connection& connection, const std::string& sql) {
        db::Command command;
        command.SetActiveConnection(connection);
        command.CommandText = sql;
        command.Execute({}, db::adExecuteNoRecords);
    }

    Outcome Run(const std::vector<std::string>& args) const {
        std::string line = ShellQuoted(PELMAR_BINARY) + " export";
        for (const std::string& arg : args) line += " " + ShellQuoted(arg);
        const std::string out = Folder().file("stdout"), err = Folder().file("stderr");
        line += " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err) + " </dev/null";
        const int raw = std::system(line.c_str());
        Outcome outcome;
        outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        outcome.out = testing::ReadFile(out);
        outcome.err = testing::ReadFile(err);
        return outcome;
    }

    std::string Destination() const { return Folder().file("out.csv"); }
    std::string LogPath() const { return Folder().file("impexp.log"); }
};

TEST_P(ExportCommandTest, ExitStatusTellsHowTheExportEnded) {
    const std::string cs = ConnectionString();
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string out;
        std::string errContains;
    };
    const std::vector<Case> cases = {
        {"completed at the server", {Destination(), "--remote", cs, "--user", "1", "--log", LogPath()}, 0, "2\n",
         "Contacts successfully exported to '" + Destination() + "'."},
        {"no contacts at a client",
         {Destination(), "--remote", cs, "--local", cs, "--user", "4", "--log", LogPath()}, 0, "0\n",
         "No Contacts to Export."},
        {"destination cannot be opened",
         {Folder().file("missing/out.csv"), "--remote", cs, "--user", "1", "--log", LogPath()}, 2, "",
         "An error has occurred while opening the destination file."},
        {"deleted user at the server", {Destination(), "--remote", cs, "--user", "4", "--log", LogPath()}, 2, "",
         "User has been either deleted or disabled"},
        {"initialisation fails", {Destination(), "--remote", "Driver=SQLite3;Database=" + Folder().file("none.db"),
                                  "--user", "1", "--log", LogPath()},
         2, "", "initialisation failed"},
        {"no user", {Destination(), "--remote", cs}, 2, "", "--user is required"},
        {"bad run-at", {Destination(), "--remote", cs, "--user", "1", "--run-at", "moon"}, 2, "", "--run-at"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = Run(c.args);
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        EXPECT_EQ(outcome.out, c.out);
        EXPECT_NE(outcome.err.find(c.errContains), std::string::npos) << outcome.err;
    }
}

TEST(ExportCommandHelpTest, HelpDescribesTheCommand) {
    const int raw = std::system((ShellQuoted(PELMAR_BINARY) + " export --help >/dev/null").c_str());
    EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ExportCommandTest);

}  // namespace
}  // namespace pelmar
