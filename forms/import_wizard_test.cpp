#include "forms/import_wizard.h"

#include <gtest/gtest.h>

#include <tuple>

#include "db/connection.h"
#include "forms/picker_dialog.h"
#include "forms/source_check.h"
#include "testing/form_fixture.h"
#include "testing/session_fixture.h"

namespace pelmar {
namespace {

class ImportWizardLoadTest : public test::SessionTest {};

TEST_P(ImportWizardLoadTest, OpensTheConnectionsAndSetsTheDefaultDestination) {
    const auto open = [](const std::shared_ptr<db::Connection>& c) { return c && c->State() == db::adStateOpen; };
    for (const RunApplicationAt runAt : {RuntAtClient, RuntAtServer}) {
        InitSession(runAt, Folder().file("import.log"));
        session.ImportToID = "9";
        ImportForm form(session);
        ImportWizard wizard(form);
        const bool client = runAt == RuntAtClient;
        wizard.Load();
        EXPECT_EQ(std::tuple(form.controls.txtImportto, session.ImportTo, session.ImportToID),
                  std::tuple(client ? "Local Contacts" : "Shared Contacts", client ? LocalFolder : SharedFolder, "0"));
        EXPECT_EQ(std::pair(open(session.RemoteConnection), open(session.LocalConnection)), std::pair(true, client));
        wizard.Unload();
        EXPECT_EQ(std::pair(open(session.RemoteConnection), open(session.LocalConnection)), std::pair(false, false));
    }
    EXPECT_TRUE(ui->messages.empty());
}
PELMAR_INSTANTIATE_BACKEND_TESTS(ImportWizardLoadTest);

class ImportWizardTest : public test::FormTest {
protected:
    ImportForm form_{session};
    ImportWizard wizard_{form_};
};

TEST_F(ImportWizardTest, NextListsWithAFreshMappingAndATopLevelDestinationWhenNoneIsShown) {
    const struct {
        RunApplicationAt runAt;
        const char *shown, *after;
        ImportToType kind;
        const char* id;
    } cases[] = {{RuntAtClient, "Friends", "Friends", LocalGroup, "7"},
                 {RuntAtClient, "", "Main", LocalFolder, "0"},
                 {RuntAtServer, "", "Main", SharedFolder, "0"},
                 {RunApplicationAt{2}, "", "Main", LocalGroup, "0"}};  // neither: the kind stays
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        const std::string path = folder.file("list.csv");  // page 1 as a successful file check leaves it
        test::WriteFile(path, "Ann,98100\r\nBob,98101\r\n");
        form_.controls.txtLocation = path;
        ASSERT_TRUE(ValidateFile(form_, path).Loaded());
        session.RunAt = c.runAt;
        session.ImportTo = LocalGroup;
        session.ImportToID = "7";
        session.ColumnMap[1] = {"0", "FirstName"};
        form_.controls.txtImportto = c.shown;
        form_.controls.txtPrefix = " 91 ";
        ASSERT_TRUE(wizard_.Next().Listed());
        EXPECT_TRUE(form_.controls.fraSecondVisible);
        EXPECT_EQ(
            std::tuple(form_.lvwContacts.RowCount(),
                       session.ColumnMap[1].SourcePosition + session.ColumnMap[1].FieldName, form_.vars.MobilePrefix),
            std::tuple(2, "-1", "91"));
        EXPECT_EQ(std::tuple(form_.controls.txtImportto, session.ImportToID, session.ImportTo),
                  std::tuple(c.after, c.id, c.kind));
    }
}

TEST_F(ImportWizardTest, PickerKeyDecodesIntoKindAndIdUnlessCancelled) {
    const struct {
        const char* key;
        bool chosen;
        ImportToType kind;
        const char *id, *shown;
    } cases[] = {
        {"LFLD0", true, LocalFolder, "0", "LFLD0"},    {"SFLD12", true, SharedFolder, "12", "SFLD12"},
        {"LCGR 7 ", true, LocalGroup, "7", "LCGR 7 "}, {"SHGR3", true, SharedGroup, "3", "SHGR3"},
        {"XXXX9", true, SharedGroup, "9", "XXXX9"},   // an unknown prefix keeps the kind
        {"LFLD5", false, SharedGroup, "9", "XXXX9"},  // cancelled: nothing changes
    };
    for (const auto& c : cases) {
        SelectFolderDialog picker(session);
        picker.SelectedNodeKey = picker.SelectedNodeText = c.key;
        picker.selected = c.chosen;
        wizard_.ApplyPickerResult(picker);
        EXPECT_EQ(std::tuple(session.ImportTo, session.ImportToID, form_.controls.txtImportto),
                  std::tuple(c.kind, c.id, c.shown))
            << c.key;
    }
}

TEST_F(ImportWizardTest, ArrowKeysStayWithinTheSpinnerBounds) {
    form_.controls.spnPollingMax = 3;
    const std::tuple<const char*, int32_t, const char*> cases[] = {
        {"2", 38, "3"}, {"3", 38, "3"}, {"2", 40, "1"}, {"1", 40, "1"}, {"", 38, ""}, {"x", 40, "x"}, {"2", 37, "2"}};
    for (const auto& [before, key, after] : cases) {
        form_.controls.txtStartFromRow = before;
        wizard_.StartRowKeyDown(key);
        EXPECT_EQ(form_.controls.txtStartFromRow, after) << before << " key " << key;
    }
}

}  // namespace
}  // namespace pelmar
