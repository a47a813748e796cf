#include "core/folder_tree.h"

#include "common/error.h"
#include "db/connection.h"
#include "db/recordset.h"

namespace pelmar {

namespace {

// The tree view's own error numbers.
constexpr int32_t kElementNotFound = 35601;
constexpr int32_t kKeyNotUnique = 35602;
constexpr int32_t kInvalidUseOfNull = 94;

std::string Text(const db::Value& value) {
    if (value.IsNull()) throw Error(kInvalidUseOfNull, "Invalid use of Null");
    return value.ToText();
}

// Runs `sql` read-only and forward-only and hands every row to `add`.
template <typename AddRow>
void ForEachRow(const std::string& sql, db::Connection& connection, AddRow&& add) {
    db::Recordset rows;
    rows.Open(sql, connection, db::adOpenForwardOnly, db::adLockReadOnly, -1);
    while (!rows.Eof()) {
        add(rows);
        rows.MoveNext();
    }
    rows.Close();
}

void AddFolders(FolderTree& tree, const std::string& sql, db::Connection& connection, const std::string& prefix) {
    ForEachRow(sql, connection, [&](const db::Recordset& row) {
        // A folder sits directly under its root whatever its parent folder.
        tree.Add(prefix + "0", prefix + Text(row.Field("ID")), Text(row.Field("NAME")), picture::Folder,
                 picture::OpenFolder);
    });
}

void AddGroups(FolderTree& tree, const std::string& sql, db::Connection& connection, const std::string& folderPrefix,
               const std::string& groupPrefix) {
    ForEachRow(sql, connection, [&](const db::Recordset& row) {
        const db::Value& folder = row.Field("FOLDER_ID");
        if (folder.IsNull()) throw Error(kInvalidUseOfNull, "Invalid use of Null");
        const std::string parent = folderPrefix + (folder.ToInt32() == 0 ? "0" : folder.ToText());
        tree.Add(parent, groupPrefix + Text(row.Field("ID")), Text(row.Field("NAME")), picture::Group);
    });
}

}  // namespace

void FolderTree::Clear() { nodes_.clear(); }

FolderNode& FolderTree::Add(const std::string& parentKey, const std::string& key, const std::string& text,
                            int32_t image, int32_t selectedImage) {
    if (!parentKey.empty() && !Find(parentKey)) throw Error(kElementNotFound, "Element not found");
    if (Find(key)) throw Error(kKeyNotUnique, "Key is not unique in collection");
    FolderNode node;
    node.Key = key;
    node.Text = text;
    node.Image = image;
    node.SelectedImage = selectedImage;
    node.ParentKey = parentKey;
    nodes_.push_back(std::move(node));
    return nodes_.back();
}

FolderNode& FolderTree::Node(int32_t position) {
    if (position < 1 || position > Count()) throw Error(errnum::SubscriptOutOfRange, "Subscript out of range");
    return nodes_[static_cast<std::size_t>(position - 1)];
}

const FolderNode* FolderTree::Find(const std::string& key) const {
    for (const FolderNode& node : nodes_)
        if (node.Key == key) return &node;
    return nullptr;
}

std::vector<const FolderNode*> FolderTree::Children(const std::string& key) const {
    std::vector<const FolderNode*> children;
    for (const FolderNode& node : nodes_)
        if (node.ParentKey == key) children.push_back(&node);
    return children;
}

void FolderTree::Select(int32_t position) {
    FolderNode& chosen = Node(position);
    for (FolderNode& node : nodes_) node.Selected = false;
    chosen.Selected = true;
}

void LoadFolderTree(const FolderTreeQuery& query, FolderTree& tree) {
    const bool admin = query.userType == Administrator;
    const bool client = query.runAt == RuntAtClient;
    const std::string user = std::to_string(query.userId);

    tree.Clear();
    int32_t counter = 0;
    if (admin) {
        tree.Add("", "SFLD0", "Shared Contacts", picture::Folder, picture::OpenFolder);
        ++counter;
        tree.Node(counter).Tag = "SHARED";
    }
    if (client) {
        tree.Add("", "LFLD0", "Local Contacts", picture::Folder);
        ++counter;
        tree.Node(counter).Tag = "MAIN";
        tree.Select(tree.Count());
        tree.Node(tree.Count()).Expanded = true;
    } else if (query.runAt == RuntAtServer) {
        tree.Select(1);
        tree.Node(1).Expanded = true;
    }

    if (client)
        AddFolders(tree, "SELECT ID,NAME,PARENTFOLDERID FROM SMS_ABFOLDERS WHERE USER_ID=" + user,
                   db::Required(query.local), "LFLD");
    if (admin)
        AddFolders(tree, "SELECT ID,NAME,PARENTFOLDERID FROM SMS_ABFOLDERS ", db::Required(query.remote), "SFLD");
    if (client)
        AddGroups(tree, "SELECT ID,NAME,FOLDER_ID FROM SMS_ABGROUPS WHERE USER_ID=" + user, db::Required(query.local),
                  "LFLD", "LCGR");
    if (admin)
        AddGroups(tree, "SELECT ID,NAME,FOLDER_ID FROM SMS_ABGROUPS", db::Required(query.remote), "SFLD", "SHGR");
}

}  // namespace pelmar
