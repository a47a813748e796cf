// `pelmar export` run as a process, as a batch job would run it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "testing/db_backends.h"
#include "testing/run_command.h"

namespace pelmar {
namespace {

class ExportCommandTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Exec({"INSERT INTO SMS_USERS (ID, ADMIN, DISABLED, DELETED) VALUES (1, 1, 0, 0), (4, 0, 0, 1)",
              "INSERT INTO SMS_ABCONTACTS (USER_ID, FNAME, SEX) VALUES (1, 'Anna', 'F'), (1, 'Bert', 'M')"});
    }

    std::string Destination() const { return Folder().file("out.csv"); }
    std::string LogPath() const { return Folder().file("impexp.log"); }
};

TEST_P(ExportCommandTest, ExitStatusTellsHowTheExportEnded) {
    const std::string cs = ConnectionString(), to = Destination();
    const auto args = [&](const std::string& destination, const std::string& remote, std::vector<std::string> more) {
        more.insert(more.begin(), {destination, "--remote", remote, "--log", LogPath()});
        return more;
    };
    test::ExpectRuns(Folder(), {PELMAR_BINARY, "export"},
                     {
                         {"completed at the server", args(to, cs, {"--user", "1"}), 0, "2\n",
                          "Contacts successfully exported to '" + to + "'."},
                         {"no contacts at a client", args(to, cs, {"--local", cs, "--user", "4"}), 0, "0\n",
                          "No Contacts to Export."},
                         {"destination cannot be opened", args(Folder().file("missing/out.csv"), cs, {"--user", "1"}),
                          2, "", "An error has occurred while opening the destination file."},
                         {"deleted user at the server", args(to, cs, {"--user", "4"}), 2, "", "deleted or disabled"},
                         {"no user", {to, "--remote", cs}, 2, "", "--user is required"},
                         {"bad run-at", {to, "--remote", cs, "--user", "1", "--run-at", "moon"}, 2, "", "--run-at"},
                     });
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ExportCommandTest);

}  // namespace
}  // namespace pelmar
