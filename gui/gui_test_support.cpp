#include "gui/gui_test_support.h"

#include "component/manager.h"
#include "gui/file_chooser.h"
#include "testing/db_backends.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace pelmar::gui::test {

QApplication& TestApplication() {
    static int argc = 1;
    static char name[] = "pelmar_gui_test";
    static char* argv[] = {name, nullptr};
    // Never destroyed: Qt's own statics go before a static object would.
    static QApplication* app = new QApplication(argc, argv);
    NoFileDialogs();
    return *app;
}

void NoFileDialogs() {
    SetFileChooser([](QWidget*, const FileRequest&) {
        ADD_FAILURE() << "a file dialog was opened";
        return std::optional<std::string>();
    });
}

void WhenModal(const QString& name, std::function<void(QWidget& window)> action) {
    QTimer::singleShot(5, [name, action = std::move(action)]() mutable {
        QWidget* modal = QApplication::activeModalWidget();
        const bool wanted =
            modal && (name.isEmpty() ? qobject_cast<QMessageBox*>(modal) != nullptr : modal->objectName() == name);
        if (!wanted) return WhenModal(name, std::move(action));
        ShowActive(*modal);
        action(*modal);
    });
}

void Click(QWidget& control) {
    QTest::mouseClick(&control, Qt::LeftButton);
    Settle();
}

void Type(QWidget& control, const QString& text) {
    QTest::keyClicks(&control, text);
    Settle();
}

void Key(QWidget& control, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    QTest::keyClick(&control, key, modifiers);
    Settle();
}

void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
}

std::string FocusName() {
    const QWidget* focus = QApplication::focusWidget();
    return focus ? focus->objectName().toStdString() : "";
}

void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    if (!QTest::qWaitForWindowActive(&window)) throw std::runtime_error("the window did not become active");
}

void WizardWindowTest::SetUp() {
    TestApplication();
    SetUserInterface(ui_);
    const std::string book = pelmar::test::FreshAddressBook({"SQLite", pelmar::test::BackendKind::SQLite}, folder_);
    Manager(session).Init("", book, RuntAtServer, folder_.file("import.log"));
    ASSERT_TRUE(session.InitDone);
    Open();
}

void WizardWindowTest::TearDown() {
    window_.reset();
    NoFileDialogs();
    SetUserInterface(nullptr);
}

void WizardWindowTest::Open() {
    window_.reset();
    form_ = std::make_unique<ImportForm>(session);
    window_ = std::make_unique<ImportWizardWindow>(*form_);
    ShowActive(*window_);
}

void WizardWindowTest::ChooseFile(const std::string& text) {
    pelmar::test::WriteFile(path_, text);
    auto& location = Get<QLineEdit>("txtLocation");
    location.setFocus();
    location.selectAll();
    Type(location, QString::fromStdString(path_));
    Key(location, Qt::Key_Return);
}

}  // namespace pelmar::gui::test
