#include "gui/import_wizard_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <memory>
#include <optional>

#include "common/ui.h"
#include "component/component_folder.h"
#include "component/manager.h"
#include "forms/source_check.h"
#include "gui/file_chooser.h"
#include "gui/gui_test_support.h"
#include "gui/mapping_model.h"
#include "gui/qt_window_host.h"
#include "session/session_state.h"
#include "testing/session_fixture.h"

namespace pelmar::gui {
namespace {

using test::Child;
using test::Click;
using test::FocusName;
using test::Key;
using test::Type;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Page 1 and 2 through their controls, on a session Init made for a SQLite
// address book.
class ImportWizardWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::TestApplication();
        SetUserInterface(ui_);
        const std::string book = pelmar::test::FreshAddressBook({"SQLite", pelmar::test::BackendKind::SQLite}, folder_);
        Manager(session).Init("", book, RuntAtServer, folder_.file("import.log"));
        ASSERT_TRUE(session.InitDone);
        Open();
    }
    void TearDown() override {
        window_.reset();
        SetUserInterface(nullptr);
    }

    void Open() {
        window_.reset();
        form_ = std::make_unique<ImportForm>(session);
        window_ = std::make_unique<ImportWizardWindow>(*form_);
        test::ShowActive(*window_);
    }
    template <class Control = QWidget>
    Control& Get(const char* name) const {
        return Child<Control>(*window_, name);
    }
    // Types the path of a new file holding `text` and presses Enter, which
    // moves on and checks it.
    void ChooseFile(const std::string& text) {
        pelmar::test::WriteFile(path_, text);
        auto& location = Get<QLineEdit>("txtLocation");
        location.setFocus();
        Type(location, Q(path_));
        Key(location, Qt::Key_Return);
    }
    QRadioButton& Option(int index) const {
        for (QRadioButton* option : window_->findChildren<QRadioButton*>(QStringLiteral("optDelimeter")))
            if (option->property("index").toInt() == index) return *option;
        throw std::runtime_error("no such option");
    }

    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
    pelmar::test::TempDir folder_;
    std::string path_ = folder_.file("list.csv");
    SessionState session;
    std::unique_ptr<ImportForm> form_;
    std::unique_ptr<ImportWizardWindow> window_;
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
        ui_->messages.clear();
        Click(Get<QPushButton>("cmdNext"));
        ASSERT_EQ(ui_->messages.size(), 1u);
        EXPECT_EQ(ui_->messages[0].prompt, c.message);
        EXPECT_EQ(ui_->messages[0].style, msgbox::Exclamation);
        EXPECT_EQ(FocusName(), c.focus);
        EXPECT_TRUE(Get("fraFirst").isVisible());
    }
}

TEST_F(ImportWizardWindowTest, PreviousKeepsTheMappingAndNextListsAgainWithAFreshOne) {
    ChooseFile("Ann,9810012345\r\nBob,9820023456\r\n");
    EXPECT_EQ(FocusName(), "cmdBrowse");    // Enter moved on as Tab
    Key(Get("txtPrefix"), Qt::Key_Return);  // clicks nothing, Browse included
    EXPECT_EQ(Get<QLabel>("lblPreview").text(), Q("The following is a preview of the file : " + path_));
    Click(Get<QPushButton>("cmdNext"));
    EXPECT_TRUE(Get("fraSecond").isVisible());
    EXPECT_FALSE(Get("fraFirst").isVisible());
    auto& list = Get<QTableView>("lvwContacts");
    EXPECT_EQ(list.model()->rowCount(), 2);
    EXPECT_EQ(list.columnWidth(1), static_cast<int>(list.width() * 0.3));

    test::WhenModal(QStringLiteral("frmColMapping"), [](QWidget& mapping) {
        test::ChooseDestination(mapping, 0, QStringLiteral("fir"));
        test::ChooseDestination(mapping, 1, QStringLiteral("mob"));
        Click(Child<QPushButton>(mapping, "cmdFinish"));
    });
    Click(Get<QPushButton>("cmdMapping"));
    EXPECT_EQ(session.ColumnMap[2].FieldName, "MobileNumber");

    Click(Get<QPushButton>("cmdPrev"));
    EXPECT_TRUE(Get("fraFirst").isVisible());
    EXPECT_EQ(session.ColumnMap[2].FieldName, "MobileNumber");
    pelmar::test::WriteFile(path_, "Cy,9830034567\r\n");
    Get("txtLocation").setFocus();
    Click(Get<QPushButton>("cmdNext"));  // leaving the box checks the file again
    EXPECT_EQ(Get<QTableView>("lvwContacts").model()->rowCount(), 1);
    EXPECT_EQ(session.ColumnMap[2].SourcePosition, "-1");
    EXPECT_EQ(session.ColumnMap[2].FieldName, "");
}

TEST_F(ImportWizardWindowTest, StandardCsvBoxListsRecordsUnderTheHeaderAndOffersMatchByHeader) {
    auto& standard = Get<QCheckBox>("chkStandardCsv");
    EXPECT_FALSE(standard.isChecked());
    ChooseFile("Mobile Phone,Given Name\n\"98100, ext 1\",\"Ann\nMarie\"\n98200,Bob\n");
    Click(standard);
    EXPECT_TRUE(form_->controls.chkStandardCsv);
    Click(Get<QPushButton>("cmdNext"));
    EXPECT_EQ(Get<QTableView>("lvwContacts").model()->rowCount(), 2);  // the header and a quoted break are no rows

    bool offered = false;
    test::WhenModal(QStringLiteral("frmColMapping"), [&](QWidget& mapping) {
        auto& match = Child<QPushButton>(mapping, "cmdMatchHeader");
        offered = match.isVisible();
        Click(match);
        Click(Child<QPushButton>(mapping, "cmdFinish"));
    });
    Click(Get<QPushButton>("cmdMapping"));
    EXPECT_TRUE(offered);
    EXPECT_EQ(session.ColumnMap[1].FieldName, "MobileNumber");
    EXPECT_EQ(session.ColumnMap[2].FieldName, "FirstName");
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
        {Qt::Key_Up, {}, nullptr, "3"},              //
        {Qt::Key_Up, {}, nullptr, "3"},              // the file has three lines
        {Qt::Key_Backspace, {}, nullptr, ""},        //
        {Qt::Key_V, Qt::ControlModifier, "-3", ""},  // a negative paste is refused
        {Qt::Key_V, Qt::ControlModifier, "2", "2"},  //
        {Qt::Key_Down, {}, nullptr, "1"},            //
        {Qt::Key_Return, {}, nullptr, "1"},          //
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

// A whole import through the windows, from the entry point on, on every
// back end.
class ImportThroughTheWindowsTest : public pelmar::test::SessionTest {};

TEST_P(ImportThroughTheWindowsTest, BrowseNextMappingAndFinishStoreTheRows) {
    Exec({"INSERT INTO SMS_USERS (ID, ADMIN, DISABLED, DELETED) VALUES (1, 1, 0, 0)"});
    test::TestApplication();
    Manager manager(session);
    manager.Init("", ConnectionString(), RuntAtServer, Folder().file("import.log"));
    SetWindowHost(std::make_shared<QtWindowHost>());
    const std::string source = Folder().file("contacts.csv");
    pelmar::test::WriteFile(source, "Ann,9810012345,f\r\nBob,9820023456,M\r\n");
    std::optional<FileRequest> asked;
    SetFileChooser([&](QWidget*, const FileRequest& request) {
        asked = request;
        return std::optional<std::string>(source);
    });

    test::WhenModal(QStringLiteral("frmImport"), [&](QWidget& wizard) {
        Click(Child<QPushButton>(wizard, "cmdBrowse"));
        test::WhenModal(QStringLiteral("frmColMapping"), [](QWidget& mapping) {
            // The sample column reads "Ann", "9810012345", "f".
            test::ChooseDestination(mapping, 0, QStringLiteral("fir"));
            test::ChooseDestination(mapping, 1, QStringLiteral("mob"));
            test::ChooseDestination(mapping, 2, QStringLiteral("se"));
            Click(Child<QPushButton>(mapping, "cmdFinish"));
        });
        Click(Child<QPushButton>(wizard, "cmdNext"));
        Click(Child<QPushButton>(wizard, "cmdMapping"));
        Click(Child<QPushButton>(wizard, "cmdFinish"));
        EXPECT_FALSE(Child<QPushButton>(wizard, "cmdFinish").isEnabled());
        EXPECT_EQ(FocusName(), "cmdClose");
        Click(Child<QPushButton>(wizard, "cmdClose"));
    });
    int32_t user = 1;
    EXPECT_EQ(manager.ImportContacts(user), 1);
    test::NoFileDialogs();

    ASSERT_TRUE(asked);
    EXPECT_EQ(asked->mode, FileRequest::Mode::Open);
    EXPECT_EQ(asked->filter, kBrowseFilter);
    EXPECT_EQ(asked->filterIndex, 2);
    EXPECT_EQ(asked->flags, 4100);
    EXPECT_EQ(asked->folder, ComponentFolder());
    db::Recordset rows = Query("SELECT FNAME, MOBILENO, SEX FROM SMS_ABCONTACTS ORDER BY FNAME");
    std::vector<std::string> stored;
    for (; !rows.Eof(); rows.MoveNext())
        stored.push_back(rows.Field("FNAME").ToText() + " " + rows.Field("MOBILENO").ToText() + " " +
                         rows.Field("SEX").ToText());
    EXPECT_EQ(stored, (std::vector<std::string>{"Ann 9810012345 F", "Bob 9820023456 M"}));
    EXPECT_EQ(session.RemoteConnection->State(), db::adStateClosed);
}
PELMAR_INSTANTIATE_BACKEND_TESTS(ImportThroughTheWindowsTest);

}  // namespace
}  // namespace pelmar::gui
