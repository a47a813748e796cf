#include "gui/export_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>
#include <vector>

#include "forms/export_dialog.h"
#include "gui/file_chooser.h"
#include "gui/gui_test_support.h"

namespace pelmar::gui {
namespace {

using test::Child;
using test::Click;
using test::FocusName;

// The export dialog, its connection open as the entry point leaves it.
class ExportWindowTest : public test::WizardWindowTest {
protected:
    void SetUp() override {
        WizardWindowTest::SetUp();
        window_.reset();
        session.RemoteConnection->Close();
        session.RemoteConnection->Open(session.RemoteDBString);
    }
};

TEST_F(ExportWindowTest, BrowseStartsWhereWindirSaysOrAtHomeAndFillsTheBox) {
    ExportDialog dialog(session);
    ExportWindow window(dialog);
    test::ShowActive(window);
    const std::string destination = folder_.file("out.csv");
    std::vector<FileRequest> asked;
    SetFileChooser([&](QWidget*, const FileRequest& request) {
        asked.push_back(request);
        return std::optional<std::string>(destination);
    });
    ::unsetenv("windir");

    Click(Child<QPushButton>(window, "cmdExport"));  // no destination yet: refused
    EXPECT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(FocusName(), "txtLocation");
    Click(Child<QPushButton>(window, "cmdBrowse"));
    ::setenv("windir", folder_.path().c_str(), 1);
    Click(Child<QPushButton>(window, "cmdBrowse"));
    ::unsetenv("windir");
    EXPECT_EQ(Child<QLineEdit>(window, "txtLocation").text().toStdString(), destination);
    EXPECT_EQ(FocusName(), "txtLocation");

    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].mode, FileRequest::Mode::Save);
    EXPECT_EQ(asked[0].filter, "All Files (*.*)|*.*|CSV Files (*.csv)|*.csv");
    EXPECT_EQ(asked[0].filterIndex, 2);
    EXPECT_EQ(asked[0].folder, QDir::homePath().toStdString());
    EXPECT_EQ(asked[1].folder, folder_.path().string());
}

}  // namespace
}  // namespace pelmar::gui
