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
            auto& tree = Child<QTreeWidget>(picker, "tvwFolders");
            EXPECT_EQ(Child<QPushButton>(picker, "cmdOK").isEnabled(), tree.topLevelItemCount() > 0);
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

TEST_P(PickerWindowTest, LoadingHidesTheFolderNameRowAndMovesTheRestUp) {
    Wizard(GeneralUser, RuntAtClient);
    SelectFolderDialog picker(session);
    PickerWindow window(picker);
    test::ShowActive(window);
    EXPECT_EQ(window.windowTitle(), "Select Folder / Group");
    EXPECT_EQ(window.frameGeometry().height(), Twips(5010, window));  // the frame included
    EXPECT_EQ(Child<QLabel>(window, "lblCaption").text(), "Copy the item(s) to the selected folder");
    EXPECT_EQ(Child(window, "lblCaption").y(), Twips(870, window) - Twips(750, window));
    EXPECT_FALSE(Child(window, "lblFolderName").isVisible());
    EXPECT_FALSE(Child(window, "txtFolderName").isVisible());
    // The first node, "Local Contacts", selected and expanded, with its folders and groups.
    auto& tree = Child<QTreeWidget>(window, "tvwFolders");
    ASSERT_EQ(tree.topLevelItemCount(), 1);
    EXPECT_EQ(tree.currentItem(), tree.topLevelItem(0));
    EXPECT_TRUE(tree.topLevelItem(0)->isExpanded());
    EXPECT_FALSE(tree.topLevelItem(0)->icon(0).isNull());
}
PELMAR_INSTANTIATE_BACKEND_TESTS(PickerWindowTest);

}  // namespace
}  // namespace pelmar::gui
