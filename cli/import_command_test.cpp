// `pelmar import` run as a process, as a batch job would run it.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "db/connection.h"
#include "db/schema.h"
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

Outcome RunImport(const testing::TempDir& folder, const std::vector<std::string>& args) {
    std::string line = ShellQuoted(PELMAR_BINARY) + " import";
    for (const std::string& arg : args) line += " " + ShellQuoted(arg);
    const std::string out = folder.file("stdout"), err = folder.file("stderr");
    line += " >" + ShellQuoted(out) + " 2>" + ShellQuoted(err) + " </dev/null";
    const int raw = std::system(line.c_str());
    Outcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    outcome.out = testing::ReadFile(out);
    outcome.err = testing::ReadFile(err);
    return outcome;
}

// The demo address book: user 1 administrator, 2 general, 4 deleted; user 2
// owns the local folder 10.
class ImportCommandTest : public testing::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        db::Connection connection;
        connection.Open(ConnectionString());
        db::SeedDemo(connection);
        testing::WriteFile(Source(), "Ann,,Lee,,,98100,,F\r\nBob,,Ray,,,98101,,M\r\n");
        testing::WriteFile(MixedSource(), "Name,Mobile\r\nAnn,,Lee,,,98100\r\nBad,,Ray,,,9x\r\nCy,,Ng,,,98102\r\n");
    }

    Outcome Run(const std::vector<std::string>& args) const { return RunImport(Folder(), args); }

    std::string Source() const { return Folder().file("contacts.csv"); }
    std::string MixedSource() const { return Folder().file("mixed.csv"); }
    std::string LogPath() const { return Folder().file("impexp.log"); }
};

TEST_P(ImportCommandTest, ExitStatusAndMessagesTellHowTheImportEnded) {
    const std::string cs = ConnectionString();
    const std::string log = LogPath();
    struct Case {
        const char* name;
        std::vector<std::string> args;
        int status;
        std::string out;  // exact, when the run happened
        std::string errContains;
    };
    const std::vector<Case> cases = {
        {"clean run at the server", {Source(), "--remote", cs, "--user", "1", "--log", log}, 0,
         "Total: 2\nImported: 2\nFailed: 0\nSkipped: 0\nLog: " + log + "\n",
         "Contacts import completed successfully."},
        {"run with a rejection, header skipped",
         {MixedSource(), "--remote", cs, "--user", "1", "--start-row", "2", "--log", log}, 1,
         "Total: 3\nImported: 2\nFailed: 1\nSkipped: 0\nLog: " + log + "\n",
         "Contacts import has completed with errors."},
        {"own local folder at a client",
         {Source(), "--remote", cs, "--local", cs, "--user", "2", "--to", "LFLD10", "--log", log}, 0,
         "Total: 2\nImported: 2\nFailed: 0\nSkipped: 0\nLog: " + log + "\n", ""},
        {"missing file", {Folder().file("none.csv"), "--remote", cs, "--user", "1", "--log", log}, 2, "",
         "The source file was not found at the specified location."},
        {"start row 0", {Source(), "--remote", cs, "--user", "1", "--start-row", "0", "--log", log}, 2, "",
         "Please enter valid row no."},
        {"deleted user", {Source(), "--remote", cs, "--user", "4", "--log", log}, 2, "",
         "User has been either deleted or disabled."},
        {"shared folder for a general user",
         {Source(), "--remote", cs, "--local", cs, "--user", "2", "--to", "SFLD1", "--log", log}, 2, "",
         "'SFLD1' is not a folder or group that user 2 may import into"},
        {"mapping without MobileNumber",
         {Source(), "--remote", cs, "--user", "1", "--map", "0=FirstName,5=Email", "--log", log}, 2, "",
         "The First Name, Mobile Number and Sex fields are mandatory and have to be mapped to some source fields."},
        {"mapping beyond the columns", {Source(), "--remote", cs, "--user", "1", "--map", "0=FirstName,8=MobileNumber"},
         2, "", "--map: the listed records have no column 8"},
        {"no user", {Source(), "--remote", cs}, 2, "", "--user is required"},
        {"client without a local database", {Source(), "--remote", cs, "--user", "1", "--run-at", "client"}, 2, "",
         "--run-at client needs --local"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome outcome = Run(c.args);
        EXPECT_EQ(outcome.status, c.status) << outcome.err;
        EXPECT_EQ(outcome.out, c.out);
        EXPECT_NE(outcome.err.find(c.errContains), std::string::npos) << outcome.err;
    }
}

TEST(ImportCommandHelpTest, HelpDescribesTheInterface) {
    const testing::TempDir folder;
    const Outcome outcome = RunImport(folder, {"--help"});
    EXPECT_EQ(outcome.status, 0);
    EXPECT_NE(outcome.out.find("pelmar import SOURCE --remote CS [--local CS] [--run-at client|server] --user ID"),
              std::string::npos);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ImportCommandTest);

}  // namespace
}  // namespace pelmar
