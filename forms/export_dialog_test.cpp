#include "forms/export_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "testing/form_fixture.h"

namespace pelmar {
namespace {

using test::TakeShown;

class ExportDialogTest : public test::FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        dialog_.DestinationFile = "earlier.csv";
        dialog_.ExportLogFile = "earlier.log";
    }
    ExportDialog dialog_{session};
};

TEST_F(ExportDialogTest, ValidationCreatesOrEmptiesTheTrimmedPathAndKeepsTheTypedText) {
    const std::string path = folder.file("out.csv");
    // A new file; an existing one emptied; blanks around the path.
    for (const std::string& typed : {path, path, "  " + path + "  "}) {
        SCOPED_TRACE(typed);
        dialog_.txtLocation = typed;
        EXPECT_TRUE(dialog_.txtLocation_Validate());
        EXPECT_EQ(test::ReadFile(path), "");
        EXPECT_EQ(dialog_.DestinationFile + "|" + dialog_.ExportLogFile, typed + "|" + logFile);
        test::WriteFile(path, "old line\r\n");
    }
    EXPECT_EQ(TakeShown(*ui), "");
}

TEST_F(ExportDialogTest, ValidationFailureReportsAndKeepsThePreviousDestination) {
    // A folder that does not exist; a folder, not a file.
    for (const std::string& bad : {folder.file("missing/out.csv"), folder.path().string()}) {
        SCOPED_TRACE(bad);
        std::filesystem::remove(logFile);
        dialog_.txtLocation = bad;
        EXPECT_FALSE(dialog_.txtLocation_Validate());
        EXPECT_EQ(dialog_.DestinationFile + "|" + dialog_.ExportLogFile, "earlier.csv|earlier.log");
        EXPECT_EQ(TakeShown(*ui),
                  "16 An error has occurred while opening the destination file.\r\nFor detail view log.\n");
        EXPECT_NE(test::ReadFile(logFile).find("PelmarImpExp: Error occured. Sub: ValidateFile, Module: frmExport"),
                  std::string::npos);
    }
}

TEST_F(ExportDialogTest, BlankLocationIsNotValidatedAndExportWithoutDestinationReminds) {
    dialog_.txtLocation = "   ";
    EXPECT_TRUE(dialog_.txtLocation_Validate());
    EXPECT_EQ(dialog_.DestinationFile, "earlier.csv");
    for (const std::string destination : {"", "  "}) {
        dialog_.DestinationFile = destination;
        EXPECT_FALSE(dialog_.cmdExport_Click().has_value());
        EXPECT_EQ(TakeShown(*ui), "48 Please Select Destination File.\n");
        EXPECT_EQ(dialog_.Focus, ExportDialog::Control::txtLocation);
    }
}

TEST_F(ExportDialogTest, EachThreadHasOneDialogOverTheSessionOfItsLastShowing) {
    SessionState other;
    ExportDialog* here = &ThreadExportDialog(session);
    ExportDialog* there = nullptr;
    std::thread([&] { there = &ThreadExportDialog(other); }).join();
    EXPECT_EQ(&ThreadExportDialog(other), here);
    EXPECT_NE(there, here);
    EXPECT_EQ(&here->State(), &other);
}

}  // namespace
}  // namespace pelmar
