#include "export/export_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "common/logger_factory.h"
#include "common/ui.h"
#include "component/session_state.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

class ExportDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Session() = SessionState{};
        SetUserInterface(ui_);
        Session().Logger = CreateEventLogger();
        Session().LogFilePath = folder_.file("impexp.log");
    }
    void TearDown() override {
        Session() = SessionState{};
        SetUserInterface(nullptr);
    }

    testing::TempDir folder_;
    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
};

TEST_F(ExportDialogTest, ValidationCreatesOrEmptiesTheTrimmedPathAndKeepsTheTypedText) {
    struct Case {
        const char* name;
        std::string typed;
        std::optional<std::string> existing;  // content before the validation
    };
    const std::string path = folder_.file("out.csv");
    const std::vector<Case> cases = {
        {"new file", path, std::nullopt},
        {"existing file is emptied", path, "old line\r\n"},
        {"blanks around the path", "  " + path + "  ", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(path);
        if (c.existing) testing::WriteFile(path, *c.existing);
        ExportDialog dialog;
        dialog.txtLocation = c.typed;

        EXPECT_TRUE(dialog.txtLocation_Validate());

        EXPECT_TRUE(std::filesystem::exists(path));
        EXPECT_EQ(testing::ReadFile(path), "");
        EXPECT_EQ(dialog.DestinationFile, c.typed);
        EXPECT_EQ(dialog.ExportLogFile, Session().LogFilePath);
        EXPECT_TRUE(ui_->messages.empty());
    }
}

TEST_F(ExportDialogTest, ValidationFailureReportsAndKeepsThePreviousDestination) {
    const std::vector<std::string> badPaths = {
        folder_.file("missing/out.csv"),  // folder does not exist
        folder_.path().string(),          // a folder, not a file
    };
    for (const std::string& bad : badPaths) {
        SCOPED_TRACE(bad);
        ui_->messages.clear();
        std::filesystem::remove(Session().LogFilePath);
        ExportDialog dialog;
        dialog.DestinationFile = "earlier.csv";
        dialog.ExportLogFile = "earlier.log";
        dialog.txtLocation = bad;

        EXPECT_FALSE(dialog.txtLocation_Validate());

        EXPECT_EQ(dialog.DestinationFile, "earlier.csv");
        EXPECT_EQ(dialog.ExportLogFile, "earlier.log");
        ASSERT_EQ(ui_->messages.size(), 1u);
        EXPECT_EQ(ui_->messages[0].prompt,
                  "An error has occurred while opening the destination file.\r\nFor detail view log.");
        EXPECT_EQ(ui_->messages[0].style, 16);
        EXPECT_NE(testing::ReadFile(Session().LogFilePath)
                      .find("PelmarImpExp: Error occured. Sub: ValidateFile, Module: frmExport"),
                  std::string::npos);
    }
}

TEST_F(ExportDialogTest, BlankLocationIsNotValidated) {
    ExportDialog dialog;
    dialog.DestinationFile = "earlier.csv";
    dialog.txtLocation = "   ";
    EXPECT_TRUE(dialog.txtLocation_Validate());
    EXPECT_EQ(dialog.DestinationFile, "earlier.csv");
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(ExportDialogTest, ExportWithoutDestinationRemindsAndFocusesTheLocation) {
    for (const std::string destination : {"", "  "}) {
        ui_->messages.clear();
        ExportDialog dialog;
        dialog.DestinationFile = destination;
        EXPECT_FALSE(dialog.cmdExport_Click().has_value());
        ASSERT_EQ(ui_->messages.size(), 1u);
        EXPECT_EQ(ui_->messages[0].prompt, "Please Select Destination File.");
        EXPECT_EQ(ui_->messages[0].style, 48);
        EXPECT_EQ(ui_->messages[0].title, "Orvanta Notification Server");
        EXPECT_EQ(dialog.Focus, ExportDialog::Control::txtLocation);
    }
}

TEST_F(ExportDialogTest, ClosingResetsTheControlsButKeepsTheDestination) {
    ExportDialog dialog;
    dialog.BrowseChosen(folder_.file("chosen.csv"));
    EXPECT_EQ(dialog.txtLocation, folder_.file("chosen.csv"));
    ASSERT_TRUE(dialog.txtLocation_Validate());
    dialog.ProgressBar1.SetVisible(true);

    dialog.cmdClose_Click();

    EXPECT_EQ(dialog.txtLocation, "");
    EXPECT_FALSE(dialog.ProgressBar1.Visible());
    EXPECT_EQ(dialog.DestinationFile, folder_.file("chosen.csv"));
    EXPECT_EQ(dialog.ExportLogFile, Session().LogFilePath);
}

TEST_F(ExportDialogTest, EachThreadHasOneDialog) {
    ExportDialog* here = &ThreadExportDialog();
    EXPECT_EQ(&ThreadExportDialog(), here);
    ExportDialog* there = nullptr;
    std::thread([&] { there = &ThreadExportDialog(); }).join();
    EXPECT_NE(there, here);
}

}  // namespace
}  // namespace pelmar
