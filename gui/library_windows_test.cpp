// libPelmarImpExp.so as a host without Qt of its own loads it: through the
// C interface, with no application object until the library makes one.
#include <gtest/gtest.h>

#include <QApplication>
#include <QWidget>
#include <atomic>
#include <chrono>
#include <thread>

#include "core/enums.h"
#include "gui/manager_client.h"
#include "testing/db_backends.h"
#include "testing/temp_dir.h"

namespace pelmar::gui {
namespace {

// Plays the user from another thread: closes whatever modal window the library opens.
class Closer {
public:
    Closer()
            : thread_([this] {
                  while (!stop_) {
                      if (QCoreApplication* app = QCoreApplication::instance())
                          QMetaObject::invokeMethod(
                              app,
                              [] {
                                  if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
                              },
                              Qt::QueuedConnection);
                      std::this_thread::sleep_for(std::chrono::milliseconds(50));
                  }
              }) {}
    ~Closer() {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

TEST(LibraryWindowsTest, TheLibraryMakesItsApplicationAndShowsItsWindows) {
    ASSERT_EQ(QCoreApplication::instance(), nullptr);
    const pelmar::test::TempDir folder;
    const std::string book = pelmar::test::AdministratorsAddressBook(folder);
    const std::string log = folder.file("import.log");

    ManagerClient manager(PELMAR_LIBRARY);
    manager.Init("", book, RuntAtServer, log);
    {
        const Closer user;
        EXPECT_EQ(manager.ImportContacts(1), 1);
        EXPECT_EQ(manager.ExportContacts(1), 1);
    }
    EXPECT_NE(qobject_cast<QApplication*>(QCoreApplication::instance()), nullptr);
    // That another thread then gets no windows: qt_window_host_test.cpp.
}

}  // namespace
}  // namespace pelmar::gui
