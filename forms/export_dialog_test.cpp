#include "forms/export_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "common/ui.h"
#include "session/logger_factory.h"
#include "session/session_state.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

class ExportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserInterface(ui_);
        session.Logger = CreateEventLogger();
        session.LogFilePath = folder_.file("impexp.log");
        dialog_.DestinationFile = "earlier.csv";
        dialog_.ExportLogFile = "earlier.log";
    }
    void TearDown() override { SetUserInterface(nullptr); }

    SessionState session;
    test::TempDir folder_;
    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
    ExportDialog dialog_{session};
};

TEST_F(ExportDialogTest, ValidationCreatesOrEmptiesTheTrimmedPathAndKeepsTheTypedText) {
    const std::string path = folder_.file("out.csv");
    // A new file; an existing one emptied; blanks around the path.
    for (const std::string& typed : {path, path, "  " + path + "  "}) {
        SCOPED_TRACE(typed);
        dialog_.txtLocation = typed;
        EXPECT_TRUE(dialog_.txtLocation_Validate());
        EXPECT_EQ(test::ReadFile(path), "");
        EXPECT_EQ(dialog_.DestinationFile, typed);
        EXPECT_EQ(dialog_.ExportLogFile, session.LogFilePath);
        test::WriteFile(path, "old line\r\n");
    }
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(ExportDialogTest, ValidationFailureReportsAndKeepsThePreviousDestination) {
    // A folder that does not exist; a folder, not a file.
    for (const std::string& bad : {folder_.file("missing/out.csv"), folder_.path().string()}) {
        SCOPED_TRACE(bad);
        ui_->messages.clear();
        std::filesystem::remove(session.LogFilePath);
        dialog_.txtLocation = bad;

        EXPECT_FALSE(dialog_.txtLocation_Validate());

        EXPECT_EQ(dialog_.DestinationFile, "earlier.csv");
        EXPECT_EQ(dialog_.ExportLogFile, "earlier.log");
        ASSERT_EQ(ui_->messages.size(), 1u);
        EXPECT_EQ(ui_->messages[0].prompt,
                  "An error has occurred while opening the destination file.\r\nFor detail view log.");
        EXPECT_EQ(ui_->messages[0].style, 16);
        EXPECT_NE(test::ReadFile(session.LogFilePath)
                      .find("PelmarImpExp: Error occured. Sub: ValidateFile, Module: frmExport"),
                  std::string::npos);
    }
}

TEST_F(ExportDialogTest, BlankLocationIsNotValidatedAndExportWithoutDestinationReminds) {
    dialog_.txtLocation = "   ";
    EXPECT_TRUE(dialog_.txtLocation_Validate());
    EXPECT_EQ(dialog_.DestinationFile, "earlier.csv");
    for (const std::string destination : {"", "  "}) {
        ui_->messages.clear();
        dialog_.DestinationFile = destination;
        EXPECT_FALSE(dialog_.cmdExport_Click().has_value());
        ASSERT_EQ(ui_->messages.size(), 1u);
        EXPECT_EQ(ui_->messages[0].prompt, "Please Select Destination File.");
        EXPECT_EQ(ui_->messages[0].style, 48);
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
