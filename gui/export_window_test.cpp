#include "gui/export_window.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <cstdlib>
#include <memory>
#include <vector>

#include "component/manager.h"
#include "db/connection.h"
#include "db/schema.h"
#include "forms/export_dialog.h"
#include "gui/file_chooser.h"
#include "gui/gui_test_support.h"
#include "gui/qt_window_host.h"
#include "session/session_state.h"
#include "testing/session_fixture.h"

namespace pelmar::gui {
namespace {

using test::Child;
using test::Click;
using test::FocusName;

class ExportWindowTest : public pelmar::test::SessionTest {};

TEST_P(ExportWindowTest, AnExportThroughTheDialogWritesEveryContact) {
    test::TestApplication();
    {
        db::Connection book;
        book.Open(ConnectionString());
        db::SeedDemo(book);
    }
    Manager manager(session);
    manager.Init("", ConnectionString(), RuntAtServer, Folder().file("export.log"));
    SetWindowHost(std::make_shared<QtWindowHost>());
    const std::string destination = Folder().file("out.csv");
    std::vector<FileRequest> asked;
    SetFileChooser([&](QWidget*, const FileRequest& request) {
        asked.push_back(request);
        return std::optional<std::string>(destination);
    });
    ::unsetenv("windir");

    test::WhenModal(QStringLiteral("frmExport"), [&](QWidget& dialog) {
        Click(Child<QPushButton>(dialog, "cmdExport"));
        ASSERT_FALSE(ui->messages.empty());
        EXPECT_EQ(ui->messages.back().prompt, "Please Select Destination File.");
        EXPECT_EQ(FocusName(), "txtLocation");
        Click(Child<QPushButton>(dialog, "cmdBrowse"));
        ::setenv("windir", Folder().path().c_str(), 1);
        Click(Child<QPushButton>(dialog, "cmdBrowse"));
        EXPECT_EQ(Child<QLineEdit>(dialog, "txtLocation").text().toStdString(), destination);
        EXPECT_EQ(FocusName(), "txtLocation");
        Click(Child<QPushButton>(dialog, "cmdExport"));  // the box is checked on the way
        EXPECT_EQ(Child<QLineEdit>(dialog, "txtLocation").text(), "");
        EXPECT_EQ(FocusName(), "cmdClose");
        Click(Child<QPushButton>(dialog, "cmdClose"));
    });
    int32_t user = 1;
    EXPECT_EQ(manager.ExportContacts(user), 1);
    ::unsetenv("windir");
    test::NoFileDialogs();

    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0].mode, FileRequest::Mode::Save);
    EXPECT_EQ(asked[0].filter, "All Files (*.*)|*.*|CSV Files (*.csv)|*.csv");
    EXPECT_EQ(asked[0].filterIndex, 2);
    EXPECT_EQ(asked[0].folder, QDir::homePath().toStdString());  // no "windir"
    EXPECT_EQ(asked[1].folder, Folder().path().string());
    EXPECT_EQ(std::to_string(pelmar::test::ReadLines(destination).size()),
              Select("SELECT COUNT(*) FROM SMS_ABCONTACTS").at(0).at(0));
    EXPECT_EQ(ThreadExportDialog(session).DestinationFile, "");
}
PELMAR_INSTANTIATE_BACKEND_TESTS(ExportWindowTest);

}  // namespace
}  // namespace pelmar::gui
