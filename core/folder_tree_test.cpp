// The picker's tree as plain data (loaded from the address book: the picker's tests).
#include "core/folder_tree.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "testing/thrown.h"

namespace pelmar {
namespace {

using test::ErrorNumberOf;

std::string Keys(const std::vector<const FolderNode*>& nodes) {
    std::string keys;
    for (const FolderNode* node : nodes) keys += node->Key + " ";
    return keys;
}

TEST(FolderTreeTest, NodesGoUnderParentsThatExistWithKeysUsedOnce) {
    FolderTree tree;
    tree.Add("", "SFLD0", "Shared Contacts", picture::Folder, picture::OpenFolder);
    tree.Add("", "LFLD0", "Local Contacts", picture::Folder);
    tree.Add("SFLD0", "SFLD4", "Europe", picture::Folder);
    tree.Add("SFLD4", "SHGR2", "Key Accounts", picture::Group);
    tree.Add("SFLD0", "SHGR1", "All", picture::Group);
    EXPECT_EQ(ErrorNumberOf([&] { tree.Add("SFLD9", "SHGR3", "Lost", picture::Group); }), 35601);
    EXPECT_EQ(ErrorNumberOf([&] { tree.Add("", "SFLD4", "Again", picture::Folder); }), 35602);
    EXPECT_EQ(tree.Count(), 5);

    EXPECT_EQ(Keys(tree.Children("")), "SFLD0 LFLD0 ");
    EXPECT_EQ(Keys(tree.Children("SFLD0")), "SFLD4 SHGR1 ");
    EXPECT_EQ(Keys(tree.Children("LFLD0")), "");
    const FolderNode* group = tree.Find("SHGR2");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->ParentKey + "|" + group->Text + "|" + std::to_string(group->Image) +
                  std::to_string(group->SelectedImage),
              "SFLD4|Key Accounts|20");
    EXPECT_EQ(tree.Find("shgr2"), nullptr);  // keys are case-sensitive

    tree.Select(3);
    tree.Select(2);
    std::string selected;
    for (const FolderNode& node : tree.Nodes()) selected += node.Selected ? "1" : "0";
    EXPECT_EQ(selected, "01000");
    for (const int32_t position : {0, 6, -1}) {
        EXPECT_EQ(ErrorNumberOf([&] { tree.Node(position); }), errnum::SubscriptOutOfRange) << position;
        EXPECT_EQ(ErrorNumberOf([&] { tree.Select(position); }), errnum::SubscriptOutOfRange) << position;
    }
    EXPECT_EQ(tree.Node(5).Key, "SHGR1");
    EXPECT_EQ(tree.Node(1).Key, "SFLD0");
    tree.Clear();
    EXPECT_EQ(tree.Count(), 0);
}

}  // namespace
}  // namespace pelmar
