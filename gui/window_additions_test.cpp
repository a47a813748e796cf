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

#include "common/ui.h"
#include "forms/export_dialog.h"
#include "forms/window_additions.h"
#include "gui/export_window.h"
#include "gui/gui_test_support.h"
#include "gui/import_wizard_window.h"
#include "gui/mapping_model.h"
#include "gui/mapping_window.h"
#include "session/session_state.h"

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

using WindowAdditionsTest = test::WizardWindowTest;

TEST_F(WindowAdditionsTest, TheStandardModesGridShowsTheHeaderAndOpensMappedByIt) {
    ChooseFile("Given Name,Notes,Mobile Phone\n\"Priya\nSharma\",,9810012345\n");
    Click(Get<QCheckBox>("chkStandardCsv"));
    EXPECT_TRUE(form_->controls.chkStandardCsv);
    Click(Get<QPushButton>("cmdNext"));
    EXPECT_EQ(Get<QTableView>("lvwContacts").model()->rowCount(), 1);  // the header and a quoted break are no rows
    bool accepted = false, offered = false;
    test::WhenModal(QStringLiteral("frmColMapping"), [&](QWidget& mapping) {
        const QAbstractItemModel& grid = *Child<QTableView>(mapping, "MSFlexGrid1").model();
        const auto cell = [&](int row, int column, int role = Qt::DisplayRole) {
            return grid.index(row, column).data(role).toString().toStdString();
        };
        EXPECT_EQ(cell(0, MappingGridModel::kSample), "Given Name");
        EXPECT_EQ(cell(0, MappingGridModel::kSample, MappingGridModel::kSampleRole), "Priya\nSharma");
        EXPECT_EQ(cell(0, MappingGridModel::kSample, Qt::ToolTipRole), "Priya\nSharma");
        EXPECT_EQ(cell(1, MappingGridModel::kSample, MappingGridModel::kSampleRole), "Column2");
        EXPECT_EQ(cell(0, MappingGridModel::kDestination), "FirstName");
        EXPECT_EQ(cell(1, MappingGridModel::kDestination), "");
        EXPECT_EQ(cell(2, MappingGridModel::kDestination), "MobileNumber");
        offered = Child<QPushButton>(mapping, "cmdMatchHeader").isVisible();
        Click(Child<QPushButton>(mapping, "cmdFinish"));  // the untouched grid
        accepted = !mapping.isVisible();
    });
    Click(Get<QPushButton>("cmdMapping"));
    EXPECT_TRUE(offered && accepted);
    EXPECT_TRUE(ui_->messages.empty());
    EXPECT_EQ(session.ColumnMap[2].FieldName, "MobileNumber");
}

TEST_F(WindowAdditionsTest, TheDuplicatesBoxIsOfferedWithTheStandardBoxOnly) {
    auto& standard = Get<QCheckBox>("chkStandardCsv");
    auto& skip = Get<QCheckBox>("chkSkipDuplicates");
    EXPECT_FALSE(skip.isChecked());
    EXPECT_FALSE(skip.isEnabled());
    Click(standard);
    ASSERT_TRUE(skip.isEnabled());
    Click(skip);
    EXPECT_TRUE(form_->controls.chkSkipDuplicates);
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
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(WindowAdditionsTest, AFileDroppedOnPageOneIsCheckedAsIfTyped) {
    pelmar::test::WriteFile(path_, "Ann,9810012345\r\n");
    DropFile(Get("rtfPreview"), path_);
    EXPECT_EQ(Get<QLineEdit>("txtLocation").text(), Q(path_));
    EXPECT_TRUE(Get<QLabel>("lblPreview").text().endsWith(Q(path_)));

    const std::string missing = folder_.file("none.csv");  // what the check then says: the form's tests
    Get("txtPrefix").setFocus();
    DropFile(Get("fraFirst"), missing);
    EXPECT_EQ(Get<QLineEdit>("txtLocation").text(), Q(missing));
    EXPECT_EQ(FocusName(), "txtLocation");
}

TEST_F(WindowAdditionsTest, AFileDroppedOnTheExportDialogBecomesItsDestination) {
    ExportDialog dialog(session);
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
