#pragma once
// The destination tree of the folder and group picker, as plain data: the
// roots "Shared Contacts" (key "SFLD0") and "Local Contacts" ("LFLD0"), the
// folders under their root and the groups under their folder or root. Keys:
// "LFLD"/"SFLD" + folder id, "LCGR"/"SHGR" + group id.
#include <cstdint>
#include <string>
#include <vector>

#include "core/enums.h"

namespace pelmar {

// Pictures of the tree's image list.
namespace picture {
inline constexpr int32_t None = 0;
inline constexpr int32_t Folder = 1;
inline constexpr int32_t Group = 2;
inline constexpr int32_t OpenFolder = 3;
}  // namespace picture

struct FolderNode {
    std::string Key;
    std::string Text;
    int32_t Image = picture::None;
    int32_t SelectedImage = picture::None;
    std::string Tag;
    std::string ParentKey;  // "" for a root
    bool Expanded = false;
    bool Selected = false;
};

class FolderTree {
public:
    void Clear();
    // Adds a node under `parentKey` ("" for the top level). A parent that is
    // not in the tree, or a key already used, is an error (35601, 35602).
    FolderNode& Add(const std::string& parentKey, const std::string& key, const std::string& text, int32_t image,
                    int32_t selectedImage = picture::None);

    int32_t Count() const noexcept { return static_cast<int32_t>(nodes_.size()); }
    // Nodes in the order they were added; position 1 is the first.
    const std::vector<FolderNode>& Nodes() const noexcept { return nodes_; }
    FolderNode& Node(int32_t position);  // throws SubscriptOutOfRange
    // The node with `key`, or null.
    const FolderNode* Find(const std::string& key) const;
    // The children of `key` in the order they were added.
    std::vector<const FolderNode*> Children(const std::string& key) const;

    // Makes `position` the one selected node.
    void Select(int32_t position);

private:
    std::vector<FolderNode> nodes_;
};

namespace db {
class Connection;
}

// Whose destinations the tree shows, and where they are read from.
struct FolderTreeQuery {
    UserType userType = GeneralUser;        // administrators see the shared book
    RunApplicationAt runAt = RuntAtServer;  // at a client the user's local book is shown too
    int32_t userId = 0;
    db::Connection* local = nullptr;   // needed at a client
    db::Connection* remote = nullptr;  // needed for an administrator
};

// Fills `tree` afresh: the roots, then local folders, shared folders, local
// groups and shared groups. Throws at the first failure, leaving the nodes
// added before it.
void LoadFolderTree(const FolderTreeQuery& query, FolderTree& tree);

}  // namespace pelmar
