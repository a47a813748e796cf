// pelmar gui's host window over the library: after an import it names the
// log and the files of records that were not imported, as links to them.
#include "gui/host_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDesktopServices>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>

#include "core/enums.h"
#include "gui/gui_test_support.h"
#include "gui/manager_client.h"
#include "testing/db_backends.h"
#include "testing/temp_dir.h"

namespace pelmar::gui {
namespace {

using test::Child;
using test::Click;

// Takes the URLs the desktop would open.
class Opened : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void Open(const QUrl& url) { urls << url; }
};

TEST(HostWindowTest, AfterAnImportItLinksTheLogAndTheRejectsFile) {
    test::TestApplication();
    const pelmar::test::TempDir folder;
    const std::string book = pelmar::test::AdministratorsAddressBook(folder);
    const std::string source = folder.file("contacts.csv");
    pelmar::test::WriteFile(source, "First Name,Mobile Phone\nAnn,9810012345\nBob,\n");  // Bob has no number

    ManagerClient manager(PELMAR_LIBRARY);
    manager.Init("", book, RuntAtServer, folder.file("host.log"));
    HostWindow window(manager, {.remote = book, .local = "", .runAtClient = false, .user = 1, .log = ""});
    test::ShowActive(window);
    test::WhenModal(QStringLiteral("frmImport"), [&](QWidget& wizard) {
        auto& location = Child<QLineEdit>(wizard, "txtLocation");
        location.setFocus();
        test::Type(location, QString::fromStdString(source));
        Click(Child<QCheckBox>(wizard, "chkStandardCsv"));
        Click(Child<QPushButton>(wizard, "cmdNext"));
        test::WhenModal(QString(), [](QWidget& message) { message.close(); });
        Click(Child<QPushButton>(wizard, "cmdFinish"));
        Click(Child<QPushButton>(wizard, "cmdClose"));
    });
    Click(Child<QPushButton>(window, "cmdImport"));

    auto& results = Child<QTextBrowser>(window, "txtResults");
    const std::string rejects = folder.file("contacts.rejects.csv");
    // The window's Init leaves the log at the library's default.
    EXPECT_EQ(results.toPlainText().toStdString(),
              "ImportContacts(1) returned 1\nLog: " + manager.LogFile() + "\nRecords not imported: " + rejects);
    EXPECT_TRUE(results.toHtml().contains(QUrl::fromLocalFile(QString::fromStdString(rejects)).toString()));

    Opened opened;
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened, "Open");
    emit results.anchorClicked(QUrl::fromLocalFile(QString::fromStdString(rejects)));
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    EXPECT_EQ(opened.urls, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdString(rejects))});
}

}  // namespace
}  // namespace pelmar::gui

#include "host_window_test.moc"
