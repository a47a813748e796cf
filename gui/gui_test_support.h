#pragma once
// What the window tests share: the application object, finding controls by
// their names, and acting inside modal windows that block the test's own
// call until they close.
#include <QApplication>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>

#include <gtest/gtest.h>

#include "common/ui.h"
#include "gui/import_wizard_window.h"
#include "session/session_state.h"
#include "testing/temp_dir.h"

namespace pelmar::gui::test {

// The process's application object (offscreen under CTest). Its thread
// shows no file dialogs: they would wait for a user.
QApplication& TestApplication();
// Puts back the stand-in for the file dialogs that refuses every request.
void NoFileDialogs();

inline QString Q(const std::string& text) { return QString::fromStdString(text); }

// The control of `window` named `name`; throws when there is none.
template <class Control = QWidget>
Control& Child(const QWidget& window, const char* name) {
    auto* control = window.findChild<Control*>(QString::fromLatin1(name));
    if (!control) throw std::runtime_error(std::string("no control ") + name);
    return *control;
}

// Runs `action` once the modal window named `name` (or, for "", any
// message box) is the active modal window. Schedule it before the call
// that opens the window and blocks.
void WhenModal(const QString& name, std::function<void(QWidget& window)> action);

// A user's click (the focus moves onto the control first) and typing.
void Click(QWidget& control);
void Type(QWidget& control, const QString& text);
void Key(QWidget& control, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
// Lets posted events (a sent Tab, a queued commit) run.
void Settle();

// The name of the control that has the focus ("" for none).
std::string FocusName();

// Shows a window as the user would find it: visible and active.
void ShowActive(QWidget& window);

// The import wizard's window over a session Init made for a fresh SQLite
// address book, with a recording user interface.
class WizardWindowTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new form and window in place of the open ones, shown active.
    void Open();
    template <class Control = QWidget>
    Control& Get(const char* name) const {
        return Child<Control>(*window_, name);
    }
    // Types the path of a new file holding `text` over the location box's
    // text and presses Enter, which moves on and checks it.
    void ChooseFile(const std::string& text);

    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
    pelmar::test::TempDir folder_;
    std::string path_ = folder_.file("list.csv");
    SessionState session;
    std::unique_ptr<ImportForm> form_;
    std::unique_ptr<ImportWizardWindow> window_;
};

}  // namespace pelmar::gui::test
