// Access keys pressed in a box that is checked on leaving: the check runs
// first, and the button is pressed only when it passes.
#include "gui/access_keys.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <filesystem>

#include "forms/export_dialog.h"
#include "gui/export_window.h"
#include "gui/file_chooser.h"
#include "gui/gui_test_support.h"
#include "testing/form_fixture.h"

namespace pelmar::gui {
namespace {

using test::Child;
using test::FocusName;

class AccessKeysTest : public test::WizardWindowTest {
protected:
    // Types `path` into the location box, presses Alt+`key` and counts the clicks of `button`.
    static int TypeAndPress(QWidget& window, const std::string& path, Qt::Key key, const char* button) {
        int clicks = 0;
        QObject::connect(&Child<QPushButton>(window, button), &QPushButton::clicked, [&] { ++clicks; });
        // What the buttons open is closed at once.
        SetFileChooser([](QWidget*, const FileRequest&) { return std::optional<std::string>(); });
        auto& location = Child<QLineEdit>(window, "txtLocation");
        location.setFocus();
        test::Type(location, test::Q(path));
        test::Key(location, key, Qt::AltModifier);
        QTest::qWait(250);  // the pressed button shows itself before it clicks
        test::Settle();
        return clicks;
    }
};

TEST_F(AccessKeysTest, TheWizardsButtonsCheckTheTypedPathFirstAndClickOnlyWhenItPasses) {
    const std::string good = folder_.file("good.csv");
    pelmar::test::WriteFile(good, "Ann,9810012345\r\nBob,9820023456\r\n");
    const struct {
        Qt::Key key;
        const char* button;
        bool valid;
    } cases[] = {
        {Qt::Key_N, "cmdNext", true},    {Qt::Key_N, "cmdNext", false},    {Qt::Key_B, "cmdBrowse", true},
        {Qt::Key_B, "cmdBrowse", false}, {Qt::Key_S, "cmdImportto", true}, {Qt::Key_S, "cmdImportto", false},
        {Qt::Key_C, "cmdCancel", false},  // Cancel leaves without a check
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.button) + (c.valid ? " valid" : " missing"));
        Open();
        const bool cancel = c.key == Qt::Key_C;
        test::WhenModal(QStringLiteral("frmSelectFolder"), [](QWidget& picker) { picker.close(); });
        EXPECT_EQ(TypeAndPress(*window_, c.valid ? good : folder_.file("none.csv"), c.key, c.button),
                  c.valid || cancel);
        // Checked on the way, or refused with the focus kept.
        if (!cancel) {
            EXPECT_EQ(c.valid ? form_->vars.SourceFile : FocusName(), c.valid ? good : "txtLocation");
        }
        // A passed check may lead on to what the button opens, and what that shows.
        const std::string shown = pelmar::test::TakeShown(*ui_);
        const std::string notFound = "48 The source file was not found at the specified location.\n";
        EXPECT_TRUE(c.valid ? shown.find(notFound) == std::string::npos : shown == (cancel ? "" : notFound)) << shown;
        EXPECT_EQ(form_->controls.fraSecondVisible, c.valid && c.key == Qt::Key_N);
        EXPECT_EQ(window_->isVisible(), !cancel);
        if (QWidget* open = QApplication::activeModalWidget(); open && open != window_.get()) open->close();
    }
}

// A valid run ends where a run ends.
TEST_F(AccessKeysTest, TheExportDialogsButtonsCreateTheTypedFileFirstAndClickOnlyWhenThatWorked) {
    window_.reset();
    session.RemoteConnection->Close();  // the wizard's
    const std::string destination = folder_.file("out.csv");
    const struct {
        Qt::Key key;
        const char* button;
        bool valid;
    } presses[] = {{Qt::Key_E, "cmdExport", true}, {Qt::Key_E, "cmdExport", false}, {Qt::Key_B, "cmdBrowse", true}};
    for (const auto& [key, button, valid] : presses) {
        SCOPED_TRACE(std::string(button) + (valid ? " valid" : " unwritable"));
        std::filesystem::remove(destination);
        session.RemoteConnection->Open(session.RemoteDBString);
        ExportDialog dialog(session);
        ExportWindow window(dialog);
        test::ShowActive(window);
        const std::string typed = valid ? destination : folder_.file("no-such-folder/out.csv");
        EXPECT_EQ(TypeAndPress(window, typed, key, button), valid);
        EXPECT_EQ(std::filesystem::exists(destination), valid);
        if (key == Qt::Key_E) {
            EXPECT_EQ(FocusName(), valid ? "cmdClose" : "txtLocation");
        }
        window.close();
        session.RemoteConnection->Close();
    }
}

}  // namespace
}  // namespace pelmar::gui
