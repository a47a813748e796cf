// `pelmar import` as a batch job runs it; the messages' own cases are the forms' and the component's,
// and one refusal that ends the run before Finish stands for them all.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/connection.h"
#include "db/schema.h"
#include "testing/db_backends.h"
#include "testing/run_command.h"

namespace pelmar {
namespace {

// The demo address book: user 1 administrator, 2 general owning local folder 10, 4 deleted.
class ImportCommandTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        db::Connection connection;
        connection.Open(ConnectionString());
        db::SeedDemo(connection);
        test::WriteFile(Source(), "Ann,,Lee,,,98100,,F\r\nBob,,Ray,,,98101,,M\r\n");
        test::WriteFile(MixedSource(), "Name,Mobile\r\nAnn,,Lee,,,98100\r\nBad,,Ray,,,9x\r\nCy,,Ng,,,98102\r\n");
    }

    std::string Source() const { return Folder().file("contacts.csv"); }
    std::string MixedSource() const { return Folder().file("mixed.csv"); }
    std::string LogPath() const { return Folder().file("impexp.log"); }
};

TEST_P(ImportCommandTest, ExitStatusAndMessagesTellHowTheImportEnded) {
    const std::string cs = ConnectionString(), log = LogPath();
    // The source, the remote database and user 1, then `more`.
    const auto args = [&](std::vector<std::string> more, const std::string& source = {}) {
        more.insert(more.begin(), {source.empty() ? Source() : source, "--remote", cs, "--user", "1"});
        return more;
    };
    const auto asUser2 = [&](const std::string& to) -> std::vector<std::string> {
        return {Source(), "--remote", cs, "--local", cs, "--user", "2", "--to", to, "--log", log};
    };
    const std::string counts = "Total: 2\nImported: 2\nFailed: 0\nSkipped: 0\nLog: " + log + "\n";
    test::ExpectRuns(
        Folder(), {PELMAR_BINARY, "import"},
        {
            {"clean run at the server", args({"--log", log}), 0, counts, "Contacts import completed successfully."},
            {"run with a rejection, header skipped", args({"--start-row", "2", "--log", log}, MixedSource()), 1,
             "Total: 3\nImported: 2\nFailed: 1\nSkipped: 0\nLog: " + log + "\n",
             "Contacts import has completed with errors."},
            {"own local folder at a client", asUser2("LFLD10"), 0, counts, ""},
            {"missing file", args({"--log", log}, Folder().file("none.csv")), 2, "",
             "The source file was not found at the specified location."},
            {"shared folder for a general user", asUser2("SFLD1"), 2, "",
             "'SFLD1' is not a folder or group that user 2 may import into"},
            {"mapping without MobileNumber", args({"--map", "0=FirstName,5=Email", "--log", log}), 2, "",
             "The First Name, Mobile Number and Sex fields are mandatory and have to be mapped to some source fields."},
            {"mapping beyond the columns", args({"--map", "0=FirstName,8=MobileNumber"}), 2, "",
             "--map: the listed records have no column 8"},
            {"map with a trailing comma", args({"--map", "0=FirstName,5=MobileNumber,"}), 2, "",
             "--map takes POS=FIELD pairs with POS a column number from 0, not ''"},
            {"csv map without a column", args({"--format", "csv", "--map", "=Hobby"}), 2, "",
             "--map takes COLUMN=FIELD pairs"},
            {"csv with a quote for its delimiter", args({"--format", "csv", "--delimiter", "\""}), 2, "",
             "--format csv cannot take a quote or a line break for its delimiter"},
            {"client without a local database", args({"--run-at", "client"}), 2, "", "--run-at client needs --local"},
        });
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ImportCommandTest);

}  // namespace
}  // namespace pelmar
