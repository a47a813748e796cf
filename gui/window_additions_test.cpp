// What the windows add to the first form, through their controls.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QTableView>
#include <QUrl>

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
using test::Q;

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

// The duplicates box goes with the standard box; the note about LF line ends
// shows until it is ticked (which files get it: the form's tests). How the
// header maps the rows is the grid's; here, that the window shows a quoted
// break of the sample whole, in its tooltip.
TEST_F(WindowAdditionsTest, TheStandardBoxOffersTheDuplicatesBoxHidesTheNoteAndShowsTheHeadersSample) {
    auto& standard = Get<QCheckBox>("chkStandardCsv");
    auto& skip = Get<QCheckBox>("chkSkipDuplicates");
    auto& note = Get<QLabel>("lblLineEnds");
    EXPECT_FALSE(skip.isEnabled() || skip.isChecked() || note.isVisible());
    ChooseFile("Given Name,Notes,Mobile Phone\n\"Priya\nSharma\",,9810012345\n");
    EXPECT_EQ(note.isVisible() ? note.text() : QString(), QString::fromLatin1(kLfOnlyHint));
    Click(standard);
    ASSERT_TRUE(skip.isEnabled());
    EXPECT_FALSE(note.isVisible());
    Click(skip);
    EXPECT_TRUE(form_->controls.chkSkipDuplicates);
    Click(standard);
    EXPECT_FALSE(skip.isEnabled());

    Click(standard);
    Click(Get<QPushButton>("cmdNext"));
    std::string sample;
    test::WhenModal(QStringLiteral("frmColMapping"), [&](QWidget& mapping) {
        const QModelIndex cell = Child<QTableView>(mapping, "MSFlexGrid1").model()->index(0, MappingGridModel::kSample);
        for (const int role : {int{Qt::DisplayRole}, MappingGridModel::kSampleRole, int{Qt::ToolTipRole}})
            sample += cell.data(role).toString().toStdString() + "|";
        Click(Child<QPushButton>(mapping, "cmdFinish"));
    });
    Click(Get<QPushButton>("cmdMapping"));
    EXPECT_EQ(sample, "Given Name|Priya\nSharma|Priya\nSharma|");
    EXPECT_TRUE(ui_->messages.empty());
}

// What a dropped file is checked for: the forms' tests.
TEST_F(WindowAdditionsTest, AFileDroppedOnEitherWindowFillsItsLocationBox) {
    pelmar::test::WriteFile(path_, "Ann,9810012345\r\n");
    DropFile(Get("rtfPreview"), path_);
    EXPECT_EQ(Get<QLineEdit>("txtLocation").text(), Q(path_));
    EXPECT_TRUE(Get<QLabel>("lblPreview").text().endsWith(Q(path_)));

    ExportDialog dialog(session);
    ExportWindow exportWindow(dialog);
    test::ShowActive(exportWindow);
    const std::string destination = folder_.file("out.csv");
    DropFile(Child<QLineEdit>(exportWindow, "txtLocation"), destination);
    EXPECT_EQ(Child<QLineEdit>(exportWindow, "txtLocation").text(), Q(destination));
    EXPECT_EQ(dialog.DestinationFile, destination);
}

}  // namespace
}  // namespace pelmar::gui
