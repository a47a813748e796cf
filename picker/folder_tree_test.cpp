// The destination tree and the picker's result, loaded from every back end.
#include "picker/folder_tree.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/ui.h"
#include "component/manager.h"
#include "component/session_state.h"
#include "component/window_host.h"
#include "db/command.h"
#include "db/connection.h"
#include "picker/picker_dialog.h"
#include "testing/db_backends.h"

namespace pelmar {
namespace {

// Local and remote are one database here, so the shared queries (no owner
// condition) also see user 2's rows.
class FolderTreeTest : public testing::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Session() = SessionState{};
        SetWindowHost(nullptr);
        SetUserInterface(ui_);
        Exec({"INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (1,'Customers',0,0)",
              "INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (3,'Europe',1,0)",
              "INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES (10,'Friends',0,2)",
              "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (1,'Newsletter',0,0)",
              "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (2,'Key Accounts',1,0)",
              "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (11,'Close',10,2)"});
    }
    void TearDown() override { SetUserInterface(nullptr); }

    void Exec(const std::vector<std::string>& statements) {
        db::Connection connection;
        connection.Open(ConnectionString());
        for (const std::string& sql : statements) {
            db::Command command;
            command.SetActiveConnection(connection);
            command.CommandText = sql;
            command.Execute({}, db::adExecuteNoRecords);
        }
    }

    // The session as the wizard has it while the picker is open.
    void OpenSession(UserType userType, RunApplicationAt runAt) {
        Manager().Init(ConnectionString(), ConnectionString(), runAt, Folder().file("import.log"));
        ASSERT_TRUE(Session().InitDone);
        Session().RemoteConnection->Open();
        if (runAt == RuntAtClient) Session().LocalConnection->Open();
        Session().CurrentUserType = userType;
        Session().UserID = 2;
    }

    static std::string Layout(const FolderTree& tree) {
        std::string layout;
        for (const FolderNode& node : tree.Nodes()) layout += node.Key + "<" + node.ParentKey + " ";
        return layout;
    }

    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
};

TEST_P(FolderTreeTest, RootsAndRowsFollowUserTypeAndRunAt) {
    const struct {
        UserType userType;
        RunApplicationAt runAt;
        const char* layout;  // key<parent, in the order added
        const char* selected;
        const char* handedOn;
    } cases[] = {
        {GeneralUser, RuntAtClient, "LFLD0< LFLD10<LFLD0 LCGR11<LFLD10 ", "LFLD0", "LFLD0"},
        {Administrator, RuntAtClient,
         "SFLD0< LFLD0< LFLD10<LFLD0 SFLD1<SFLD0 SFLD3<SFLD0 SFLD10<SFLD0 LCGR11<LFLD10 SHGR1<SFLD0 "
         "SHGR2<SFLD1 SHGR11<SFLD10 ",
         "SFLD0", "SFLD0"},
        {Administrator, RuntAtServer,
         "SFLD0< SFLD1<SFLD0 SFLD3<SFLD0 SFLD10<SFLD0 SHGR1<SFLD0 SHGR2<SFLD1 SHGR11<SFLD10 ", "SFLD0",
         "SFLD0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.userType) + "/" + std::to_string(c.runAt));
        OpenSession(c.userType, c.runAt);
        SelectFolderDialog picker;
        picker.Load();
        EXPECT_TRUE(ui_->messages.empty());
        EXPECT_EQ(Layout(picker.tvwFolders), c.layout);
        EXPECT_EQ(picker.SelectedNodeKey, c.handedOn);
        EXPECT_EQ(picker.SelectedNodeID, c.handedOn);
        EXPECT_FALSE(picker.selected);
        for (const FolderNode& node : picker.tvwFolders.Nodes())
            EXPECT_EQ(node.Selected, node.Key == c.selected) << node.Key;
    }
}

TEST_P(FolderTreeTest, NodesCarryTextPicturesAndTags) {
    OpenSession(Administrator, RuntAtClient);
    SelectFolderDialog picker;
    picker.Load();
    const FolderTree& tree = picker.tvwFolders;
    const struct {
        const char* key;
        const char* text;
        int32_t image, selectedImage;
        const char* tag;
    } cases[] = {
        {"SFLD0", "Shared Contacts", picture::Folder, picture::OpenFolder, "SHARED"},
        {"LFLD0", "Local Contacts", picture::Folder, picture::None, "MAIN"},
        {"SFLD3", "Europe", picture::Folder, picture::OpenFolder, ""},
        {"LCGR11", "Close", picture::Group, picture::None, ""},
    };
    for (const auto& c : cases) {
        const FolderNode* node = tree.Find(c.key);
        ASSERT_NE(node, nullptr) << c.key;
        EXPECT_EQ(node->Text, c.text);
        EXPECT_EQ(node->Image, c.image);
        EXPECT_EQ(node->SelectedImage, c.selectedImage);
        EXPECT_EQ(node->Tag, c.tag);
    }
    EXPECT_TRUE(tree.Find("LFLD0")->Expanded);
    EXPECT_EQ(picker.SelectedNodeText, "Shared Contacts");
    EXPECT_EQ(picker.SelectedNodeTag, "SHARED");
    EXPECT_EQ(picker.Caption, "Select Folder / Group");
    EXPECT_EQ(picker.lblCaption, "Copy the item(s) to the selected folder");

    picker.NodeClick(*tree.Find("SHGR2"));
    picker.Cancel();
    EXPECT_FALSE(picker.selected);
    EXPECT_EQ(picker.SelectedNodeKey, "SHGR2");
    EXPECT_EQ(picker.SelectedNodeTag, "");
}

TEST_P(FolderTreeTest, FailureIsShownLoggedAndKeepsTheNodesSoFar) {
    const std::string expectedMessage = "An error has occurred while loading the contacts.\r\nFor detail view log.";
    // A local group whose folder is not in the tree; the group after it is lost.
    Exec({"INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (12,'Orphans',99,2)",
          "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (13,'Later',0,2)"});
    const struct {
        UserType userType;
        RunApplicationAt runAt;
        const char* layout;
    } cases[] = {
        {GeneralUser, RuntAtClient, "LFLD0< LFLD10<LFLD0 LCGR11<LFLD10 "},
        {GeneralUser, RuntAtServer, ""},  // no root at all: nothing to select
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.runAt);
        ui_->messages.clear();
        OpenSession(c.userType, c.runAt);
        SelectFolderDialog picker;
        picker.Load();
        EXPECT_EQ(Layout(picker.tvwFolders), c.layout);
        ASSERT_EQ(ui_->messages.size(), 1u);
        EXPECT_EQ(ui_->messages[0].prompt, expectedMessage);
        EXPECT_EQ(ui_->messages[0].style, msgbox::Critical);
        EXPECT_EQ(picker.SelectedNodeKey, "");
        EXPECT_NE(testing::ReadFile(Folder().file("import.log"))
                      .find("Error occurred while loading the contacts. Sub : Load_Folders"),
                  std::string::npos);
    }
}

PELMAR_INSTANTIATE_BACKEND_TESTS(FolderTreeTest);

}  // namespace
}  // namespace pelmar
