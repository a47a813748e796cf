#include "gui/picker_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "component/manager.h"
#include "db/schema.h"
#include "gui/gui_test_support.h"
#include "gui/import_wizard_window.h"
#include "gui/twips.h"
#include "session/session_state.h"
#include "testing/session_fixture.h"

namespace pelmar::gui {
namespace {

using test::Child;
using test::Click;

// The picker as the wizard's Select button opens it, on the demo address
// book: shared folders and groups for administrators, user 2's local ones.
class PickerWindowTest : public pelmar::test::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        if (IsSkipped()) return;
        test::TestApplication();
        db::SeedDemo(Book());
    }

    // A wizard for `type` running at `runAt`, as the entry point leaves the session.
    std::unique_ptr<ImportWizardWindow> Wizard(UserType type, RunApplicationAt runAt) {
        Manager(session).Init(ConnectionString(), ConnectionString(), runAt, Folder().file("import.log"));
        session.CurrentUserType = type;
        session.UserID = type == Administrator ? 1 : 2;
        form_ = std::make_unique<ImportForm>(session);
        auto wizard = std::make_unique<ImportWizardWindow>(*form_);
        test::ShowActive(*wizard);
        return wizard;
    }

    std::unique_ptr<ImportForm> form_;
};

// The picker hides its folder name row and moves the rest up; the first node
// is selected and expanded.
TEST_P(PickerWindowTest, TheNodeConfirmedBecomesTheDestinationAndCancelKeepsIt) {
    const struct {
        UserType type;
        RunApplicationAt runAt;
        const char* node;    // clicked; nullptr for none
        const char* button;  // cmdOK or cmdCancel
        const char* shown;
        ImportToType kind;
        const char* id;
    } cases[] = {
        // Which nodes each user sees, and what their keys mean: the picker's
        // and the wizard's own tests.
        {Administrator, RuntAtClient, "Newsletter", "cmdOK", "Newsletter", SharedGroup, "1"},
        {GeneralUser, RuntAtServer, nullptr, "cmdCancel", "Shared Contacts", SharedFolder, "0"},  // an empty tree
        {GeneralUser, RuntAtClient, "Football", "cmdCancel", "Local Contacts", LocalFolder, "0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.node ? c.node : "(empty tree)") + " " + c.button);
        const auto wizard = Wizard(c.type, c.runAt);
        test::WhenModal(QStringLiteral("frmSelectFolder"), [&](QWidget& picker) {
            EXPECT_EQ(picker.windowTitle() + "|" + Child<QLabel>(picker, "lblCaption").text(),
                      "Select Folder / Group|Copy the item(s) to the selected folder");
            EXPECT_EQ(picker.frameGeometry().height(), Twips(5010, picker));  // the frame included
            EXPECT_EQ(Child(picker, "lblCaption").y(), Twips(870, picker) - Twips(750, picker));
            EXPECT_FALSE(Child(picker, "lblFolderName").isVisible() || Child(picker, "txtFolderName").isVisible());
            auto& tree = Child<QTreeWidget>(picker, "tvwFolders");
            EXPECT_EQ(Child<QPushButton>(picker, "cmdOK").isEnabled(), tree.topLevelItemCount() > 0);
            if (QTreeWidgetItem* first = tree.topLevelItem(0)) {
                EXPECT_EQ(tree.currentItem(), first);
                EXPECT_EQ(first->isExpanded(), c.type == GeneralUser);  // the local root
                EXPECT_FALSE(first->icon(0).isNull());
            }
            if (c.node) {
                const auto found = tree.findItems(QString::fromLatin1(c.node), Qt::MatchExactly | Qt::MatchRecursive);
                ASSERT_EQ(found.size(), 1);
                for (QTreeWidgetItem* up = found[0]->parent(); up; up = up->parent()) up->setExpanded(true);
                QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, tree.visualItemRect(found[0]).center());
            }
            Click(Child<QPushButton>(picker, c.button));
        });
        Click(Child<QPushButton>(*wizard, "cmdImportto"));
        EXPECT_EQ(Child<QLineEdit>(*wizard, "txtImportto").text().toStdString(), c.shown);
        EXPECT_EQ(session.ImportTo, c.kind);
        EXPECT_EQ(session.ImportToID, c.id);
    }
}
PELMAR_INSTANTIATE_BACKEND_TESTS(PickerWindowTest);

}  // namespace
}  // namespace pelmar::gui
