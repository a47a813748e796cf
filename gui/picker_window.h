#pragma once
// The folder and group picker (caption "Select Folder / Group") over the
// wizard's SelectFolderDialog, whose result outlives the window. Its
// controls are placed in twips as the picker was drawn: the folder-name row
// at the top, hidden when it loads, and the rest moved up by its 750 twips.
#include "gui/form_window.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace pelmar {
class SelectFolderDialog;
}

namespace pelmar::gui {

class PickerWindow : public FormWindow {
    Q_OBJECT
public:
    // Loads the picker: caption, the tree from the databases, the first node.
    PickerWindow(SelectFolderDialog& picker, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Place(QWidget& control, int left, int top, int width, int height);
    void FillTree();
    void NodeClicked(QTreeWidgetItem* item);

    SelectFolderDialog& picker_;
    QLabel* lblCaption_;
    QTreeWidget* tvwFolders_;
    QLabel* lblFolderName_;
    QLineEdit* txtFolderName_;
    QPushButton* cmdOK_;
    QPushButton* cmdCancel_;
};

}  // namespace pelmar::gui
