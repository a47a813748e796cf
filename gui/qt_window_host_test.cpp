#include "gui/qt_window_host.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <memory>
#include <thread>

#include "component/manager.h"
#include "gui/gui_test_support.h"
#include "session/session_state.h"
#include "testing/session_fixture.h"

namespace pelmar::gui {
namespace {

class QtWindowHostTest : public pelmar::test::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        if (IsSkipped()) return;
        test::TestApplication();
        Exec({"INSERT INTO SMS_USERS (ID, ADMIN, DISABLED, DELETED) VALUES (1, 1, 0, 0)"});
        manager_.Init("", ConnectionString(), RuntAtServer, Log());
        SetWindowHost(std::make_shared<QtWindowHost>());
    }
    std::string Log() const { return Folder().file("import.log"); }

    Manager manager_{session};
};

TEST_P(QtWindowHostTest, AManagersEndUnloadsTheOpenWindows) {
    test::WhenModal(QStringLiteral("frmImport"), [](QWidget& wizard) {
        test::WhenModal(QStringLiteral("frmSelectFolder"), [](QWidget&) { Manager another; });
        test::Click(test::Child<QPushButton>(wizard, "cmdImportto"));
    });
    int32_t user = 1;
    EXPECT_EQ(manager_.ImportContacts(user), 1);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_EQ(session.RemoteConnection->State(), db::adStateClosed);  // the wizard unloaded
}

TEST_P(QtWindowHostTest, AnotherThreadGetsNoWindowsAndTheEntryPointsFailingPath) {
    int32_t imported = -1, exported = -1;
    std::thread other([&] {
        InstallQtWindows();
        Manager manager;
        manager.Init("", ConnectionString(), RuntAtServer, Log());
        int32_t user = 1;
        imported = manager.ImportContacts(user);
        exported = manager.ExportContacts(user);
    });
    other.join();
    EXPECT_EQ(imported, 0);
    EXPECT_EQ(exported, 0);
    const std::string log = pelmar::test::ReadFile(Log());
    EXPECT_NE(log.find("PelmarImpExp: Error occured. Sub: ImportContacts, Module: Manager [Error 5: Windows can be "
                       "shown only on the thread of the application object"),
              std::string::npos)
        << log;
}
PELMAR_INSTANTIATE_BACKEND_TESTS(QtWindowHostTest);

}  // namespace
}  // namespace pelmar::gui
