// The wizard's page-1 checks, its destination decoding and its small handlers.
#include "import/import_wizard.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/ui.h"
#include "component/session_state.h"
#include "import/source_check.h"
#include "picker/picker_dialog.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

class ImportWizardTest : public ::testing::Test {
protected:
    void SetUp() override {
        Session() = SessionState{};
        SetUserInterface(ui_);
    }
    void TearDown() override { SetUserInterface(nullptr); }

    // Page 1 as a successful file check leaves it.
    void ChooseFile(const std::string& text) {
        testing::WriteFile(path_, text);
        form_.controls.txtLocation = path_;
        ASSERT_TRUE(ValidateFile(form_, path_));
    }

    testing::TempDir folder_;
    std::string path_ = folder_.file("list.csv");
    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
    ImportForm form_;
    ImportWizard wizard_{form_};
};

TEST_F(ImportWizardTest, NextRefusesWithTheFirstFailedCheck) {
    const struct {
        const char* name;
        const char* file;  // nullptr: no file chosen
        int32_t option;
        const char* other;
        const char* startRow;
        const char* message;
        const char* focus;
    } cases[] = {
        {"no file", nullptr, DelimiterComma, "", "1", "Please Select Source File.", "txtLocation"},
        {"other without text", "a,1\r\n", DelimiterOther, " ", "1", "Please enter the delimeter.", "txtOther"},
        {"empty file", "", DelimiterComma, "", "1", "Source file does not contain any record to import.",
         "txtLocation"},
        {"start row 0", "a,1\r\n", DelimiterComma, "", "0", "Please enter valid row no.", "txtStartFromRow"},
        {"start row 00", "a,1\r\n", DelimiterComma, "", "00", "Please enter valid row no.", "txtStartFromRow"},
        {"start row not a number", "a,1\r\n", DelimiterComma, "", "x", "Please enter valid row no.", "txtStartFromRow"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        form_ = ImportForm{};
        ui_->messages.clear();
        if (c.file) ChooseFile(c.file);
        wizard_.DelimiterOptionClick(c.option);
        form_.controls.txtOther = c.other;
        form_.controls.txtStartFromRow = c.startRow;
        EXPECT_FALSE(wizard_.Next());
        ASSERT_EQ(ui_->messages.size(), 1u);
        EXPECT_EQ(ui_->messages[0].prompt, c.message);
        EXPECT_EQ(ui_->messages[0].style, msgbox::Exclamation);
        EXPECT_EQ(form_.controls.ActiveControl, c.focus);
        EXPECT_FALSE(form_.controls.fraSecondVisible);
    }
}

TEST_F(ImportWizardTest, NextListsResetsTheMappingAndKeepsTheDestination) {
    ChooseFile("Ann,98100\r\nBob,98101\r\n");
    Session().ColumnMap[1] = {"0", "FirstName"};
    form_.controls.txtPrefix = " 91 ";
    form_.controls.txtImportto = "Friends";
    Session().ImportTo = LocalGroup;
    ASSERT_TRUE(wizard_.Next());
    EXPECT_TRUE(form_.controls.fraSecondVisible);
    EXPECT_EQ(form_.lvwContacts.RowCount(), 2);
    EXPECT_EQ(Session().ColumnMap[1].SourcePosition, "-1");
    EXPECT_EQ(Session().ColumnMap[1].FieldName, "");
    EXPECT_EQ(form_.vars.MobilePrefix, "91");
    EXPECT_EQ(Session().ImportTo, LocalGroup);

    wizard_.Previous();
    EXPECT_FALSE(form_.controls.fraSecondVisible);
}

TEST_F(ImportWizardTest, EmptyDestinationBecomesMainAtTheTop) {
    for (const RunApplicationAt runAt : {RuntAtClient, RuntAtServer}) {
        ChooseFile("Ann,98100\r\n");
        Session().RunAt = runAt;
        Session().ImportToID = "7";
        form_.controls.txtImportto.clear();
        ASSERT_TRUE(wizard_.Next());
        EXPECT_EQ(form_.controls.txtImportto, "Main");
        EXPECT_EQ(Session().ImportTo, runAt == RuntAtClient ? LocalFolder : SharedFolder);
        EXPECT_EQ(Session().ImportToID, "0");
    }
}

TEST_F(ImportWizardTest, PickerKeyDecodesIntoKindAndId) {
    const struct {
        const char* key;
        ImportToType kind;
        const char* id;
    } cases[] = {
        {"LFLD0", LocalFolder, "0"},   {"SFLD12", SharedFolder, "12"}, {"LCGR 7 ", LocalGroup, "7"},
        {"SHGR3", SharedGroup, "3"},   {"XXXX9", SharedGroup, "9"},  // unknown prefix keeps the kind
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        SelectFolderDialog picker;
        picker.SelectedNodeKey = c.key;
        picker.SelectedNodeText = "Node";
        picker.OK();
        wizard_.ApplyPickerResult(picker);
        EXPECT_EQ(Session().ImportTo, c.kind);
        EXPECT_EQ(Session().ImportToID, c.id);
        EXPECT_EQ(form_.controls.txtImportto, "Node");
    }
    SelectFolderDialog cancelled;
    cancelled.SelectedNodeKey = "LFLD5";
    cancelled.SelectedNodeText = "Other";
    cancelled.Cancel();
    wizard_.ApplyPickerResult(cancelled);
    EXPECT_EQ(Session().ImportToID, "9");
    EXPECT_EQ(form_.controls.txtImportto, "Node");
}

TEST_F(ImportWizardTest, ArrowKeysStayWithinTheSpinnerBounds) {
    form_.controls.spnPollingMin = 1;
    form_.controls.spnPollingMax = 3;
    const struct {
        const char* before;
        int32_t key;
        const char* after;
    } cases[] = {{"2", 38, "3"}, {"3", 38, "3"}, {"2", 40, "1"}, {"1", 40, "1"}, {"", 38, ""}, {"x", 40, "x"},
                 {"2", 37, "2"}};
    for (const auto& c : cases) {
        form_.controls.txtStartFromRow = c.before;
        wizard_.StartRowKeyDown(c.key);
        EXPECT_EQ(form_.controls.txtStartFromRow, c.after) << c.before << " key " << c.key;
    }
}

}  // namespace
}  // namespace pelmar
