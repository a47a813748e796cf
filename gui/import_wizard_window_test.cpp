#include "gui/import_wizard_window.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>

#include "component/component_folder.h"
#include "forms/source_check.h"
#include "gui/file_chooser.h"
#include "gui/gui_test_support.h"
#include "testing/form_fixture.h"

namespace pelmar::gui {
namespace {

using test::Click;
using test::FocusName;
using test::Key;
using test::Q;
using test::Type;

// Page 1 and 2 through their controls.
class ImportWizardWindowTest : public test::WizardWindowTest {
protected:
    QRadioButton& Option(int index) const {
        for (QRadioButton* option : window_->findChildren<QRadioButton*>(QStringLiteral("optDelimeter")))
            if (option->property("index").toInt() == index) return *option;
        throw std::runtime_error("no such option");
    }
};

TEST_F(ImportWizardWindowTest, NextRefusesWithTheFirstFailedCheckAndMovesTheFocus) {
    const struct {
        const char* file;  // nullptr: none chosen
        bool other;
        bool rowZero;
        const char *message, *focus;
    } cases[] = {
        {nullptr, true, false, "Please Select Source File.", "txtLocation"},
        {"a,1\r\n", true, false, "Please enter the delimeter.", "txtOther"},
        {"", false, false, "Source file does not contain any record to import.", "txtLocation"},
        {"a,1\r\n", false, true, "Please enter valid row no.", "txtStartFromRow"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        Open();
        EXPECT_EQ(FocusName(), "txtLocation");  // where the wizard opens
        if (c.file) ChooseFile(c.file);
        if (c.other) Click(Option(4));
        EXPECT_EQ(Get("txtOther").isVisible(), c.other);
        if (c.rowZero) {
            auto& row = Get<QLineEdit>("txtStartFromRow");
            row.setFocus();
            Key(row, Qt::Key_End);
            Key(row, Qt::Key_Backspace);
            Type(row, QStringLiteral("0"));
        }
        pelmar::test::TakeShown(*ui_);
        Click(Get<QPushButton>("cmdNext"));
        EXPECT_EQ(pelmar::test::TakeShown(*ui_), "48 " + std::string(c.message) + "\n");
        EXPECT_EQ(FocusName(), c.focus);
        EXPECT_TRUE(Get("fraFirst").isVisible());
    }
}

// What Next and Previous keep or list afresh is the wizard's; here, that the pages follow them.
TEST_F(ImportWizardWindowTest, NextShowsTheListAndPreviousGoesBackToListTheFileAgain) {
    ChooseFile("Ann,9810012345\r\nBob,9820023456\r\n");
    EXPECT_EQ(FocusName(), "cmdBrowse");    // Enter moved on as Tab
    Key(Get("txtPrefix"), Qt::Key_Return);  // clicks nothing, Browse included
    EXPECT_EQ(Get<QLabel>("lblPreview").text(), Q("The following is a preview of the file : " + path_));
    Click(Get<QPushButton>("cmdNext"));
    EXPECT_TRUE(Get("fraSecond").isVisible() && !Get("fraFirst").isVisible());
    auto& list = Get<QTableView>("lvwContacts");
    EXPECT_EQ(std::pair(list.model()->rowCount(), list.columnWidth(1)),
              std::pair(2, static_cast<int>(list.width() * 0.3)));

    Click(Get<QPushButton>("cmdPrev"));
    EXPECT_TRUE(Get("fraFirst").isVisible());
    pelmar::test::WriteFile(path_, "Cy,9830034567\r\n");
    Get("txtLocation").setFocus();
    Click(Get<QPushButton>("cmdNext"));  // leaving the box checks the file again
    EXPECT_EQ(Get<QTableView>("lvwContacts").model()->rowCount(), 1);
}

TEST_F(ImportWizardWindowTest, StartRowTakesDigitsAndNumericPastesAndTheArrowsStayInTheFilesLines) {
    ChooseFile("a\r\nb\r\nc");
    auto& row = Get<QLineEdit>("txtStartFromRow");
    ASSERT_TRUE(row.isEnabled());
    row.setFocus();
    Key(row, Qt::Key_End);
    const struct {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        const char* clipboard;  // for a paste
        const char* after;
    } steps[] = {
        // Which keys and pastes pass, and the arrows' bounds, are proved
        // beside the key filter and the wizard; here, that keys reach them.
        {Qt::Key_X, {}, nullptr, "1"},               // letters are refused
        {Qt::Key_Up, {}, nullptr, "2"},              //
        {Qt::Key_Backspace, {}, nullptr, ""},        //
        {Qt::Key_V, Qt::ControlModifier, "-3", ""},  // a negative paste is refused
        {Qt::Key_V, Qt::ControlModifier, "2", "2"},  //
        {Qt::Key_Down, {}, nullptr, "1"},            //
    };
    for (const auto& step : steps) {
        if (step.clipboard) {
            ui_->clipboard = step.clipboard;
            QGuiApplication::clipboard()->setText(QString::fromLatin1(step.clipboard));
        }
        Key(row, step.key, step.modifiers);
        EXPECT_EQ(row.text().toStdString(), step.after) << "key " << step.key;
    }
}

TEST_F(ImportWizardWindowTest, BrowseAsksForAnExistingFileAndChecksIt) {
    pelmar::test::WriteFile(path_, "Ann,9810012345\r\n");
    std::string asked;
    SetFileChooser([&](QWidget*, const FileRequest& r) {
        asked += std::to_string(r.mode == FileRequest::Mode::Open) + " " + r.filter + " " +
                 std::to_string(r.filterIndex) + " " + std::to_string(r.flags) + " " + r.folder;
        return std::optional<std::string>(path_);
    });
    Click(Get<QPushButton>("cmdBrowse"));
    EXPECT_EQ(asked, std::string("1 ") + kBrowseFilter + " 2 4100 " + ComponentFolder());
    EXPECT_EQ(Get<QLineEdit>("txtLocation").text(), Q(path_));
    EXPECT_EQ(form_->vars.SourceFile, path_);
}

}  // namespace
}  // namespace pelmar::gui
