// What the windows add to the first form, through their controls: the
// mapping grid named and mapped by a CSV header, the duplicates box, the
// note about LF line ends, and files dropped on the wizard and the export
// dialog.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QUrl>
#include <filesystem>
#include <memory>

#include "common/ui.h"
#include "component/manager.h"
#include "forms/export_dialog.h"
#include "forms/window_additions.h"
#include "gui/export_window.h"
#include "gui/gui_test_support.h"
#include "gui/import_wizard_window.h"
#include "gui/mapping_model.h"
#include "gui/mapping_window.h"
#include "session/session_state.h"
#include "testing/session_fixture.h"

namespace pelmar::gui {
namespace {

using test::Child;
using test::Click;
using test::FocusName;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// Drops `path` on `target` as a file manager does.
void DropFile(QWidget& target, const std::string& path) {
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Q(path))});
    const QPointF at(target.width() / 2.0, target.height() / 2.0);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&target, &drop);
    test::Settle();
}

class WindowAdditionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::TestApplication();
        SetUserInterface(ui_);
        const std::string book = pelmar::test::FreshAddressBook({"SQLite", pelmar::test::BackendKind::SQLite}, folder_);
        Manager(session_).Init("", book, RuntAtServer, folder_.file("import.log"));
        ASSERT_TRUE(session_.InitDone);
        window_ = std::make_unique<ImportWizardWindow>(form_);
        test::ShowActive(*window_);
    }
    void TearDown() override {
        window_.reset();
        SetUserInterface(nullptr);
    }
    template <class Control = QWidget>
    Control& Get(const char* name) const {
        return Child<Control>(*window_, name);
    }
    void ChooseFile(const std::string& text) {
        pelmar::test::WriteFile(path_, text);
        auto& location = Get<QLineEdit>("txtLocation");
        location.setFocus();
        location.selectAll();  // typing replaces an earlier path
        test::Type(location, Q(path_));
        test::Key(location, Qt::Key_Return);
    }

    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
    pelmar::test::TempDir folder_;
    std::string path_ = folder_.file("list.csv");
    SessionState session_;
    ImportForm form_{session_};
    std::unique_ptr<ImportWizardWindow> window_;
};

TEST_F(WindowAdditionsTest, TheStandardModesGridShowsTheHeaderAndOpensMappedByIt) {
    ChooseFile("Given Name,Notes,Mobile Phone\nPriya Sharma,,9810012345\n");
    Click(Get<QCheckBox>("chkStandardCsv"));
    Click(Get<QPushButton>("cmdNext"));
    bool accepted = false;
    test::WhenModal(QStringLiteral("frmColMapping"), [&](QWidget& mapping) {
        const QAbstractItemModel& grid = *Child<QTableView>(mapping, "MSFlexGrid1").model();
        const auto cell = [&](int row, int column, int role = Qt::DisplayRole) {
            return grid.index(row, column).data(role).toString().toStdString();
        };
        EXPECT_EQ(cell(0, MappingGridModel::kSample), "Given Name");
        EXPECT_EQ(cell(0, MappingGridModel::kSample, MappingGridModel::kSampleRole), "Priya Sharma");
        EXPECT_EQ(cell(0, MappingGridModel::kSample, Qt::ToolTipRole), "Priya Sharma");
        EXPECT_EQ(cell(1, MappingGridModel::kSample), "Notes");
        EXPECT_EQ(cell(1, MappingGridModel::kSample, MappingGridModel::kSampleRole), "Column2");
        EXPECT_EQ(cell(0, MappingGridModel::kDestination), "FirstName");
        EXPECT_EQ(cell(1, MappingGridModel::kDestination), "");
        EXPECT_EQ(cell(2, MappingGridModel::kDestination), "MobileNumber");
        Click(Child<QPushButton>(mapping, "cmdFinish"));  // the untouched grid
        accepted = !mapping.isVisible();
    });
    Click(Get<QPushButton>("cmdMapping"));
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(ui_->messages.empty());
    EXPECT_EQ(session_.ColumnMap[2].FieldName, "MobileNumber");
}

TEST_F(WindowAdditionsTest, TheUntickedGridShowsTheFirstRecordAsBefore) {
    ChooseFile("Priya Sharma,,9810012345\r\n");
    Click(Get<QPushButton>("cmdNext"));
    test::WhenModal(QStringLiteral("frmColMapping"), [](QWidget& mapping) {
        const QAbstractItemModel& grid = *Child<QTableView>(mapping, "MSFlexGrid1").model();
        EXPECT_EQ(grid.index(0, MappingGridModel::kSample).data().toString(), "Priya Sharma");
        EXPECT_TRUE(grid.index(0, MappingGridModel::kSample).data(MappingGridModel::kSampleRole).isNull());
        EXPECT_EQ(grid.index(0, MappingGridModel::kDestination).data().toString(), "");
        mapping.close();
    });
    Click(Get<QPushButton>("cmdMapping"));
}

TEST_F(WindowAdditionsTest, TheDuplicatesBoxIsOfferedWithTheStandardBoxOnly) {
    auto& standard = Get<QCheckBox>("chkStandardCsv");
    auto& skip = Get<QCheckBox>("chkSkipDuplicates");
    EXPECT_FALSE(skip.isChecked());
    EXPECT_FALSE(skip.isEnabled());
    Click(standard);
    ASSERT_TRUE(skip.isEnabled());
    Click(skip);
    EXPECT_TRUE(form_.controls.chkSkipDuplicates);
    Click(standard);
    EXPECT_FALSE(skip.isEnabled());
}

TEST_F(WindowAdditionsTest, AFileOfLfLinesGetsANoteUntilTheStandardBoxIsTicked) {
    auto& note = Get<QLabel>("lblLineEnds");
    EXPECT_FALSE(note.isVisible());
    ChooseFile("Ann,9810012345\nBob,9820023456\n");
    EXPECT_TRUE(note.isVisible());
    EXPECT_EQ(note.text(), QString::fromLatin1(kLfOnlyHint));
    Click(Get<QCheckBox>("chkStandardCsv"));
    EXPECT_FALSE(note.isVisible());
    Click(Get<QCheckBox>("chkStandardCsv"));
    ChooseFile("Ann,9810012345\r\n");
    EXPECT_FALSE(note.isVisible());
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(WindowAdditionsTest, AFileDroppedOnPageOneIsCheckedAsIfTyped) {
    pelmar::test::WriteFile(path_, "Ann,9810012345\r\n");
    DropFile(Get("rtfPreview"), path_);
    EXPECT_EQ(Get<QLineEdit>("txtLocation").text(), Q(path_));
    EXPECT_EQ(form_.vars.SourceFile, path_);
    EXPECT_TRUE(Get<QLabel>("lblPreview").text().endsWith(Q(path_)));

    const std::string missing = folder_.file("none.csv");
    Get("txtPrefix").setFocus();
    DropFile(Get("fraFirst"), missing);
    EXPECT_EQ(Get<QLineEdit>("txtLocation").text(), Q(missing));
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0].prompt, "The source file was not found at the specified location.");
    EXPECT_EQ(FocusName(), "txtLocation");
    EXPECT_EQ(form_.vars.SourceFile, path_);  // the earlier file stays
}

TEST_F(WindowAdditionsTest, AFileDroppedOnTheExportDialogBecomesItsDestination) {
    ExportDialog dialog(session_);
    ExportWindow exportWindow(dialog);
    test::ShowActive(exportWindow);
    const std::string destination = folder_.file("out.csv");
    DropFile(Child<QLineEdit>(exportWindow, "txtLocation"), destination);
    EXPECT_EQ(Child<QLineEdit>(exportWindow, "txtLocation").text(), Q(destination));
    EXPECT_EQ(dialog.DestinationFile, destination);
    EXPECT_TRUE(std::filesystem::exists(destination));
}

}  // namespace
}  // namespace pelmar::gui
