#pragma once
// The folder and group picker (frmSelectFolder) without its window: its tree,
// its caption and its public result, which the import wizard reads after the
// picker has closed.
#include <functional>
#include <string>

#include "core/folder_tree.h"

namespace pelmar {

struct SessionState;

// Fills `tvwFolders` from `session`'s databases for its user and hands the
// first node to `nodeClick`. A failure is shown and logged; the nodes added
// before it stay.
void Load_Folders(const SessionState& session, FolderTree& tvwFolders,
                  const std::function<void(const FolderNode&)>& nodeClick);

class SelectFolderDialog {
public:
    // A picker over `session`'s databases and user.
    explicit SelectFolderDialog(const SessionState& session) : session_(session) {}

    // Public result; kept after the dialog closes.
    bool selected = false;
    std::string SelectedNodeID;
    std::string SelectedNodeKey;
    std::string SelectedNodeText;
    std::string SelectedNodeTag;

    // Controls.
    std::string Caption;
    std::string lblCaption;
    bool folderNameVisible = true;
    FolderTree tvwFolders;
    // A tree without any node offers nothing to choose: only Cancel and the
    // close box are left.
    bool cmdOKEnabled = true;

    // Loading: caption, the tree from the databases, the first node selected.
    void Load();
    void NodeClick(const FolderNode& node);
    void OK() { selected = true; }
    void Cancel() { selected = false; }

private:
    const SessionState& session_;
};

}  // namespace pelmar
