#include "gui/export_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>

#include "forms/export_dialog.h"
#include "gui/file_chooser.h"
#include "gui/gui_test_support.h"

namespace pelmar::gui {
namespace {

using test::Child;
using test::Click;
using test::FocusName;

using ExportWindowTest = test::WizardWindowTest;

// The export dialog, its connection open as the entry point leaves it.
TEST_F(ExportWindowTest, BrowseStartsWhereWindirSaysOrAtHomeAndFillsTheBox) {
    window_.reset();
    session.RemoteConnection->Close();
    session.RemoteConnection->Open(session.RemoteDBString);
    ExportDialog dialog(session);
    ExportWindow window(dialog);
    test::ShowActive(window);
    const std::string destination = folder_.file("out.csv");
    std::string asked;
    SetFileChooser([&](QWidget*, const FileRequest& r) {
        asked += std::to_string(r.mode == FileRequest::Mode::Save) + " " + r.filter + " " +
                 std::to_string(r.filterIndex) + " " + r.folder + "\n";
        return std::optional<std::string>(destination);
    });
    ::unsetenv("windir");

    Click(Child<QPushButton>(window, "cmdBrowse"));
    ::setenv("windir", folder_.path().c_str(), 1);
    Click(Child<QPushButton>(window, "cmdBrowse"));
    ::unsetenv("windir");
    EXPECT_EQ(Child<QLineEdit>(window, "txtLocation").text().toStdString(), destination);
    EXPECT_EQ(FocusName(), "txtLocation");
    const std::string filter = "1 All Files (*.*)|*.*|CSV Files (*.csv)|*.csv 2 ";
    EXPECT_EQ(asked, filter + QDir::homePath().toStdString() + "\n" + filter + folder_.path().string() + "\n");
}

}  // namespace
}  // namespace pelmar::gui
