// The destination tree and the picker's result, loaded from every back end.
#include "forms/picker_dialog.h"

#include <gtest/gtest.h>

#include "db/connection.h"
#include "session/session_state.h"
#include "testing/form_fixture.h"
#include "testing/session_fixture.h"

namespace pelmar {
namespace {

// Local and remote are one database here, so the shared queries (no owner
// condition) also see user 2's rows.
class FolderTreeTest : public test::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        if (IsSkipped()) return;
        Exec(
            {"INSERT INTO SMS_ABFOLDERS (ID,NAME,PARENTFOLDERID,USER_ID) VALUES "
             "(1,'Customers',0,0),(3,'Europe',1,0),(10,'Friends',0,2)",
             "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES "
             "(1,'Newsletter',0,0),(2,'Key Accounts',1,0),(11,'Close',10,2)"});
    }
    // The session as the wizard has it while the picker is open.
    void OpenSession(UserType userType, RunApplicationAt runAt) {
        InitSession(runAt, Folder().file("import.log"));
        ASSERT_TRUE(session.InitDone);
        session.RemoteConnection->Open();
        if (runAt == RuntAtClient) session.LocalConnection->Open();
        session.CurrentUserType = userType;
        session.UserID = 2;
    }

    static std::string Layout(const FolderTree& tree) {
        std::string layout;
        for (const FolderNode& node : tree.Nodes()) layout += node.Key + "<" + node.ParentKey + " ";
        return layout;
    }
};

TEST_P(FolderTreeTest, RootsAndRowsFollowUserTypeAndRunAt) {
    const struct {
        UserType userType;
        RunApplicationAt runAt;
        const char* layout;  // key<parent, in the order added
        const char* first;   // handed to the node click and selected
    } cases[] = {
        {GeneralUser, RuntAtClient, "LFLD0< LFLD10<LFLD0 LCGR11<LFLD10 ", "LFLD0"},
        {Administrator, RuntAtClient,
         "SFLD0< LFLD0< LFLD10<LFLD0 SFLD1<SFLD0 SFLD3<SFLD0 SFLD10<SFLD0 LCGR11<LFLD10 SHGR1<SFLD0 "
         "SHGR2<SFLD1 SHGR11<SFLD10 ",
         "SFLD0"},
        {Administrator, RuntAtServer,
         "SFLD0< SFLD1<SFLD0 SFLD3<SFLD0 SFLD10<SFLD0 SHGR1<SFLD0 SHGR2<SFLD1 SHGR11<SFLD10 ", "SFLD0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.userType) + "/" + std::to_string(c.runAt));
        OpenSession(c.userType, c.runAt);
        SelectFolderDialog picker(session);
        picker.Load();
        EXPECT_TRUE(ui->messages.empty());
        EXPECT_EQ(Layout(picker.tvwFolders), c.layout);
        EXPECT_EQ(picker.SelectedNodeKey + "|" + picker.SelectedNodeID, std::string(c.first) + "|" + c.first);
        EXPECT_FALSE(picker.selected);
        // Loading expands the local root at the client; the picker then selects the first node.
        const std::string expanded = c.runAt == RuntAtClient ? "LFLD0" : "SFLD0";
        for (const FolderNode& node : picker.tvwFolders.Nodes())
            EXPECT_EQ(std::pair(node.Selected, node.Expanded), std::pair(node.Key == c.first, node.Key == expanded))
                << node.Key;
    }
}

TEST_P(FolderTreeTest, NodesCarryTextPicturesAndTags) {
    OpenSession(Administrator, RuntAtClient);
    SelectFolderDialog picker(session);
    picker.Load();
    const FolderTree& tree = picker.tvwFolders;
    std::vector<std::string> nodes;
    for (const char* key : {"SFLD0", "LFLD0", "SFLD3", "LCGR11"}) {
        const FolderNode& n = *tree.Find(key);
        nodes.push_back(n.Text + "|" + std::to_string(n.Image) + std::to_string(n.SelectedImage) + "|" + n.Tag);
    }
    EXPECT_EQ(nodes, (std::vector<std::string>{"Shared Contacts|13|SHARED", "Local Contacts|10|MAIN", "Europe|13|",
                                               "Close|20|"}));
    EXPECT_EQ(picker.SelectedNodeText + "|" + picker.SelectedNodeTag, "Shared Contacts|SHARED");
    EXPECT_EQ(picker.Caption, "Select Folder / Group");
    EXPECT_EQ(picker.lblCaption, "Copy the item(s) to the selected folder");

    picker.NodeClick(*tree.Find("SHGR2"));
    picker.Cancel();
    EXPECT_FALSE(picker.selected);
    EXPECT_EQ(picker.SelectedNodeKey, "SHGR2");
    EXPECT_EQ(picker.SelectedNodeTag, "");
}

TEST_P(FolderTreeTest, FailureIsShownLoggedAndKeepsTheNodesSoFar) {
    // A local group whose folder is not in the tree; the group after it is lost.
    Exec({"INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (12,'Orphans',99,2)",
          "INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (13,'Later',0,2)"});
    const struct {
        RunApplicationAt runAt;
        const char* layout;
    } cases[] = {{RuntAtClient, "LFLD0< LFLD10<LFLD0 LCGR11<LFLD10 "},
                 {RuntAtServer, ""}};  // a general user at the server: no root at all, nothing to select
    for (const auto& c : cases) {
        SCOPED_TRACE(c.runAt);
        OpenSession(GeneralUser, c.runAt);
        SelectFolderDialog picker(session);
        picker.Load();
        EXPECT_EQ(Layout(picker.tvwFolders), c.layout);
        EXPECT_EQ(test::TakeShown(*ui),
                  "16 An error has occurred while loading the contacts.\r\nFor detail view log.\n");
        EXPECT_EQ(picker.SelectedNodeKey, "");
        EXPECT_EQ(picker.cmdOKEnabled, c.runAt == RuntAtClient);
        EXPECT_NE(test::ReadFile(Folder().file("import.log"))
                      .find("Error occurred while loading the contacts. Sub : Load_Folders"),
                  std::string::npos);
    }
}

PELMAR_INSTANTIATE_BACKEND_TESTS(FolderTreeTest);

}  // namespace
}  // namespace pelmar
