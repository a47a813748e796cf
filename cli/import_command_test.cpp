// `pelmar import` run as a process, as a batch job would run it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "db/connection.h"
#include "db/schema.h"
#include "testing/db_backends.h"
#include "testing/run_command.h"

namespace pelmar {
namespace {

// The demo address book: user 1 administrator, 2 general, 4 deleted; user 2
// owns the local folder 10.
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
    const std::string cs = ConnectionString();
    const std::string log = LogPath();
    test::ExpectRuns(
        Folder(), {PELMAR_BINARY, "import"},
        {
            {"clean run at the server",
             {Source(), "--remote", cs, "--user", "1", "--log", log},
             0,
             "Total: 2\nImported: 2\nFailed: 0\nSkipped: 0\nLog: " + log + "\n",
             "Contacts import completed successfully."},
            {"run with a rejection, header skipped",
             {MixedSource(), "--remote", cs, "--user", "1", "--start-row", "2", "--log", log},
             1,
             "Total: 3\nImported: 2\nFailed: 1\nSkipped: 0\nLog: " + log + "\n",
             "Contacts import has completed with errors."},
            {"own local folder at a client",
             {Source(), "--remote", cs, "--local", cs, "--user", "2", "--to", "LFLD10", "--log", log},
             0,
             "Total: 2\nImported: 2\nFailed: 0\nSkipped: 0\nLog: " + log + "\n",
             ""},
            {"missing file",
             {Folder().file("none.csv"), "--remote", cs, "--user", "1", "--log", log},
             2,
             "",
             "The source file was not found at the specified location."},
            {"start row 0",
             {Source(), "--remote", cs, "--user", "1", "--start-row", "0", "--log", log},
             2,
             "",
             "Please enter valid row no."},
            {"deleted user",
             {Source(), "--remote", cs, "--user", "4", "--log", log},
             2,
             "",
             "User has been either deleted or disabled."},
            {"shared folder for a general user",
             {Source(), "--remote", cs, "--local", cs, "--user", "2", "--to", "SFLD1", "--log", log},
             2,
             "",
             "'SFLD1' is not a folder or group that user 2 may import into"},
            {"mapping without MobileNumber",
             {Source(), "--remote", cs, "--user", "1", "--map", "0=FirstName,5=Email", "--log", log},
             2,
             "",
             "The First Name, Mobile Number and Sex fields are mandatory and have to be mapped to some source fields."},
            {"mapping beyond the columns",
             {Source(), "--remote", cs, "--user", "1", "--map", "0=FirstName,8=MobileNumber"},
             2,
             "",
             "--map: the listed records have no column 8"},
            {"start row past the records",
             {Source(), "--remote", cs, "--user", "1", "--start-row", "5", "--log", log},
             2,
             "",
             "Source file does not contain any record to import."},
            {"map with a trailing comma",
             {Source(), "--remote", cs, "--user", "1", "--map", "0=FirstName,5=MobileNumber,"},
             2,
             "",
             "--map takes POS=FIELD pairs with POS a column number from 0, not ''"},
            {"csv map without a column",
             {Source(), "--remote", cs, "--user", "1", "--format", "csv", "--map", "=Hobby"},
             2,
             "",
             "--map takes COLUMN=FIELD pairs"},
            {"csv with a quote for its delimiter",
             {Source(), "--remote", cs, "--user", "1", "--format", "csv", "--delimiter", "\""},
             2,
             "",
             "--format csv cannot take a quote or a line break for its delimiter"},
            {"client without a local database",
             {Source(), "--remote", cs, "--user", "1", "--run-at", "client"},
             2,
             "",
             "--run-at client needs --local"},
        });
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ImportCommandTest);

}  // namespace
}  // namespace pelmar
