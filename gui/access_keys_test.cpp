// Access keys pressed in a box that is checked on leaving: the check runs
// first, and the button is pressed only when it passes.
#include "gui/access_keys.h"

#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <filesystem>

#include "common/ui.h"
#include "db/connection.h"
#include "forms/export_dialog.h"
#include "gui/export_window.h"
#include "gui/file_chooser.h"
#include "gui/gui_test_support.h"

namespace pelmar::gui {
namespace {

using test::Child;
using test::FocusName;
using test::Q;

class AccessKeysTest : public test::WizardWindowTest {
protected:
    void SetUp() override {
        WizardWindowTest::SetUp();
        pelmar::test::WriteFile(good_, "Ann,9810012345\r\nBob,9820023456\r\n");
    }
    // Types `path` into the box that has the focus and presses Alt+`key`.
    static void TypeAndPress(QWidget& window, const std::string& path, Qt::Key key) {
        auto& location = Child<QLineEdit>(window, "txtLocation");
        location.setFocus();
        test::Type(location, Q(path));
        test::Key(location, key, Qt::AltModifier);
        QTest::qWait(250);  // the pressed button shows itself before it clicks
        test::Settle();
    }

    std::string good_ = folder_.file("good.csv");
    std::string missing_ = folder_.file("none.csv");
};

TEST_F(AccessKeysTest, TheWizardsButtonsCheckTheTypedPathFirstAndClickOnlyWhenItPasses) {
    const struct {
        Qt::Key key;
        const char* button;
        bool valid;
    } cases[] = {
        {Qt::Key_N, "cmdNext", true},    {Qt::Key_N, "cmdNext", false},    {Qt::Key_B, "cmdBrowse", true},
        {Qt::Key_B, "cmdBrowse", false}, {Qt::Key_S, "cmdImportto", true}, {Qt::Key_S, "cmdImportto", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.button) + (c.valid ? " valid" : " missing"));
        Open();
        QWidget& window = *window_;
        const ImportForm& form = *form_;
        ui_->messages.clear();
        int clicks = 0;
        QObject::connect(&Child<QPushButton>(window, c.button), &QPushButton::clicked, [&] { ++clicks; });
        // What the buttons open is closed at once.
        SetFileChooser([](QWidget*, const FileRequest&) { return std::optional<std::string>(); });
        test::WhenModal(QStringLiteral("frmSelectFolder"), [](QWidget& picker) { picker.close(); });

        TypeAndPress(window, c.valid ? good_ : missing_, c.key);
        EXPECT_EQ(clicks, c.valid ? 1 : 0);
        const auto notFound = std::ranges::count_if(ui_->messages, [](const RecordingUserInterface::Message& m) {
            return m.prompt == "The source file was not found at the specified location.";
        });
        EXPECT_EQ(notFound, c.valid ? 0 : 1);
        if (c.valid) {
            EXPECT_EQ(form.vars.SourceFile, good_);  // checked on the way
        } else {
            EXPECT_EQ(ui_->messages.size(), 1u);
            EXPECT_EQ(FocusName(), "txtLocation");
        }
        EXPECT_EQ(form.controls.fraSecondVisible, c.valid && c.key == Qt::Key_N);
        if (QWidget* open = QApplication::activeModalWidget(); open && open != window_.get()) open->close();
    }
}

TEST_F(AccessKeysTest, CancelLeavesWithoutACheck) {
    TypeAndPress(*window_, missing_, Qt::Key_C);
    EXPECT_FALSE(window_->isVisible());
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(AccessKeysTest, TheExportDialogsButtonsCreateTheTypedFileFirstAndClickOnlyWhenThatWorked) {
    window_.reset();
    session.RemoteConnection->Close();  // the wizard's
    const std::string destination = folder_.file("out.csv");
    const std::string unwritable = folder_.file("no-such-folder/out.csv");
    const struct {
        Qt::Key key;
        const char* button;
        bool valid;
    } cases[] = {
        {Qt::Key_E, "cmdExport", true},
        {Qt::Key_E, "cmdExport", false},
        {Qt::Key_B, "cmdBrowse", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.button) + (c.valid ? " valid" : " unwritable"));
        std::filesystem::remove(destination);
        session.RemoteConnection->Open(session.RemoteDBString);
        ExportDialog dialog(session);
        ExportWindow window(dialog);
        test::ShowActive(window);
        int clicks = 0;
        QObject::connect(&Child<QPushButton>(window, c.button), &QPushButton::clicked, [&] { ++clicks; });
        SetFileChooser([](QWidget*, const FileRequest&) { return std::optional<std::string>(); });

        TypeAndPress(window, c.valid ? destination : unwritable, c.key);
        EXPECT_EQ(clicks, c.valid ? 1 : 0);
        EXPECT_EQ(std::filesystem::exists(destination), c.valid);
        if (!c.valid) {
            EXPECT_EQ(FocusName(), "txtLocation");
        }
        // The export ran and ended where a run ends.
        if (c.valid && c.key == Qt::Key_E) {
            EXPECT_EQ(FocusName(), "cmdClose");
        }
        window.close();
        session.RemoteConnection->Close();
    }
}

}  // namespace
}  // namespace pelmar::gui
