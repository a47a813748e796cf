#include "forms/picker_dialog.h"

#include "common/error.h"
#include "common/general.h"
#include "common/ui.h"
#include "session/session_log.h"
#include "session/session_state.h"

namespace pelmar {

void Load_Folders(const SessionState& session, FolderTree& tvwFolders,
                  const std::function<void(const FolderNode&)>& nodeClick) {
    try {
        LoadFolderTree({.userType = session.CurrentUserType,
                        .runAt = session.RunAt,
                        .userId = session.UserID,
                        .local = session.LocalConnection.get(),
                        .remote = session.RemoteConnection.get()},
                       tvwFolders);
        nodeClick(tvwFolders.Node(1));
    } catch (...) {
        const ErrorInfo error = CurrentErrorInfo();
        ShowNotification("An error has occurred while loading the contacts.\r\nFor detail view log.", msgbox::Critical);
        RecordSessionError(session, error, "Error occurred while loading the contacts. Sub : Load_Folders",
                           LogStamp::DateTime);
    }
}

void SelectFolderDialog::Load() {
    Caption = "Select Folder / Group";
    lblCaption = "Copy the item(s) to the selected folder";
    folderNameVisible = false;
    Load_Folders(session_, tvwFolders, [this](const FolderNode& node) { NodeClick(node); });
    // A tree left empty (a general user at the server) has nothing to select.
    if (tvwFolders.Count() > 0) tvwFolders.Select(1);
    cmdOKEnabled = tvwFolders.Count() > 0;
}

void SelectFolderDialog::NodeClick(const FolderNode& node) {
    SelectedNodeKey = node.Key;
    SelectedNodeID = node.Key;
    SelectedNodeText = node.Text;
    SelectedNodeTag = node.Tag;
}

}  // namespace pelmar
