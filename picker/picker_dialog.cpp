#include "picker/picker_dialog.h"

namespace pelmar {

void SelectFolderDialog::Load() {
    Caption = "Select Folder / Group";
    lblCaption = "Copy the item(s) to the selected folder";
    folderNameVisible = false;
    Load_Folders(tvwFolders, [this](const FolderNode& node) { NodeClick(node); });
    // A tree left empty (a general user at the server) has nothing to select.
    if (tvwFolders.Count() > 0) tvwFolders.Select(1);
}

void SelectFolderDialog::NodeClick(const FolderNode& node) {
    SelectedNodeKey = node.Key;
    SelectedNodeID = node.Key;
    SelectedNodeText = node.Text;
    SelectedNodeTag = node.Tag;
}

}  // namespace pelmar
