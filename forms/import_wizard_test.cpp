#include "forms/import_wizard.h"

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "common/ui.h"
#include "db/connection.h"
#include "forms/picker_dialog.h"
#include "forms/source_check.h"
#include "session/session_state.h"
#include "testing/session_fixture.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

class ImportWizardLoadTest : public test::SessionTest {};

TEST_P(ImportWizardLoadTest, OpensTheConnectionsAndSetsTheDefaultDestination) {
    for (const RunApplicationAt runAt : {RuntAtClient, RuntAtServer}) {
        session = SessionState{};
        session.RunAt = runAt;
        session.RemoteDBString = ConnectionString();
        session.RemoteConnection = std::make_shared<db::Connection>();
        session.LocalConnection = std::make_shared<db::Connection>();
        session.LocalConnection->Open(ConnectionString());  // it carries its string from here on
        session.LocalConnection->Close();
        session.ImportToID = "9";
        ImportForm form(session);
        ImportWizard wizard(form);
        wizard.Load();
        EXPECT_EQ(form.controls.txtImportto, runAt == RuntAtClient ? "Local Contacts" : "Shared Contacts");
        EXPECT_EQ(session.ImportTo, runAt == RuntAtClient ? LocalFolder : SharedFolder);
        EXPECT_EQ(session.ImportToID, "0");
        EXPECT_EQ(session.RemoteConnection->State(), db::adStateOpen);
        EXPECT_EQ(session.LocalConnection->State() == db::adStateOpen, runAt == RuntAtClient);
        wizard.Unload();
        EXPECT_EQ(session.RemoteConnection->State(), db::adStateClosed);
        EXPECT_EQ(session.LocalConnection->State(), db::adStateClosed);
    }
}
PELMAR_INSTANTIATE_BACKEND_TESTS(ImportWizardLoadTest);

class ImportWizardTest : public ::testing::Test {
protected:
    void SetUp() override { SetUserInterface(ui_); }
    void TearDown() override { SetUserInterface(nullptr); }

    // Page 1 as a successful file check leaves it.
    void ChooseFile(const std::string& text) {
        test::WriteFile(path_, text);
        form_.controls.txtLocation = path_;
        ASSERT_TRUE(ValidateFile(form_, path_).Loaded());
    }

    test::TempDir folder_;
    std::string path_ = folder_.file("list.csv");
    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
    SessionState session;
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
                 {RuntAtServer, "", "Main", SharedFolder, "0"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.after);
        ChooseFile("Ann,98100\r\nBob,98101\r\n");
        session.RunAt = c.runAt;
        session.ImportTo = LocalGroup;
        session.ImportToID = "7";
        session.ColumnMap[1] = {"0", "FirstName"};
        form_.controls.txtImportto = c.shown;
        form_.controls.txtPrefix = " 91 ";
        ASSERT_TRUE(wizard_.Next().Listed());
        EXPECT_TRUE(form_.controls.fraSecondVisible);
        EXPECT_EQ(form_.lvwContacts.RowCount(), 2);
        EXPECT_EQ(session.ColumnMap[1].SourcePosition + session.ColumnMap[1].FieldName, "-1");
        EXPECT_EQ(form_.vars.MobilePrefix, "91");
        EXPECT_EQ(form_.controls.txtImportto + "|" + session.ImportToID, std::string(c.after) + "|" + c.id);
        EXPECT_EQ(session.ImportTo, c.kind);
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
        EXPECT_EQ(session.ImportTo, c.kind) << c.key;
        EXPECT_EQ(session.ImportToID, c.id) << c.key;
        EXPECT_EQ(form_.controls.txtImportto, c.shown) << c.key;
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
