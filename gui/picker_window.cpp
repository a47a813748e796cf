#include "gui/picker_window.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <map>

#include "forms/picker_dialog.h"
#include "gui/picker_pictures.h"
#include "gui/twips.h"

namespace pelmar::gui {
namespace {

// The window as drawn, in twips; its height is set when it loads.
constexpr int kWidth = 4680;
constexpr int kHeight = 5010;
constexpr int kFolderRowShift = 750;
constexpr int kPositionRole = Qt::UserRole;  // a node's position in the tree, from 1

}  // namespace

PickerWindow::PickerWindow(SelectFolderDialog& picker, QWidget* parent)
        : FormWindow(WindowKind::Picker, parent), picker_(picker) {
    setObjectName(QStringLiteral("frmSelectFolder"));
    lblFolderName_ = Named("lblFolderName", new QLabel(QStringLiteral("Folder Name"), this));
    txtFolderName_ = Named("txtFolderName", new QLineEdit(this));
    lblCaption_ = Named("lblCaption", new QLabel(this));
    tvwFolders_ = Named("tvwFolders", new QTreeWidget(this));
    tvwFolders_->setHeaderHidden(true);
    tvwFolders_->setIconSize(QSize(16, 16));
    cmdOK_ = Named("cmdOK", new QPushButton(QStringLiteral("&OK"), this));
    cmdCancel_ = Named("cmdCancel", new QPushButton(QStringLiteral("&Cancel"), this));
    Place(*lblFolderName_, 120, 180, 1080, 255);
    Place(*txtFolderName_, 1260, 120, 3300, 315);
    Place(*lblCaption_, 120, 870, 4440, 255);
    Place(*tvwFolders_, 120, 1170, 4440, 3450);
    Place(*cmdOK_, 2040, 4740, 1215, 375);
    Place(*cmdCancel_, 3345, 4740, 1215, 375);

    picker_.Load();
    setWindowTitle(QString::fromStdString(picker_.Caption));
    setFixedSize(Twips(kWidth, *this), Twips(kHeight, *this));
    lblCaption_->setText(QString::fromStdString(picker_.lblCaption));
    lblFolderName_->setVisible(picker_.folderNameVisible);
    txtFolderName_->setVisible(picker_.folderNameVisible);
    for (QWidget* control : {static_cast<QWidget*>(lblCaption_), static_cast<QWidget*>(tvwFolders_),
                             static_cast<QWidget*>(cmdCancel_), static_cast<QWidget*>(cmdOK_)})
        control->move(control->x(), control->y() - Twips(kFolderRowShift, *this));
    FillTree();
    cmdOK_->setEnabled(picker_.cmdOKEnabled);

    connect(tvwFolders_, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem* item) { Handle([&] { NodeClicked(item); }); });
    connect(tvwFolders_, &QTreeWidget::itemClicked, this,
            [this](QTreeWidgetItem* item) { Handle([&] { NodeClicked(item); }); });
    connect(cmdOK_, &QPushButton::clicked, this, [this] {
        picker_.OK();
        accept();
    });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] {
        picker_.Cancel();
        reject();
    });
    // The close box and Escape close the window and leave `selected` alone.
    tvwFolders_->setFocus();
}

void PickerWindow::Place(QWidget& control, int left, int top, int width, int height) {
    control.setGeometry(Twips(left, *this), Twips(top, *this), Twips(width, *this), Twips(height, *this));
}

void PickerWindow::showEvent(QShowEvent* event) {
    FormWindow::showEvent(event);
    // The height counts the window's frame, where the platform draws one.
    const int frame = frameGeometry().height() - geometry().height();
    if (frame > 0) setFixedHeight(Twips(kHeight, *this) - frame);
}

void PickerWindow::FillTree() {
    std::map<std::string, QTreeWidgetItem*> byKey;
    int position = 0;
    for (const FolderNode& node : picker_.tvwFolders.Nodes()) {
        auto* item =
            node.ParentKey.empty() ? new QTreeWidgetItem(tvwFolders_) : new QTreeWidgetItem(byKey.at(node.ParentKey));
        item->setText(0, QString::fromStdString(node.Text));
        item->setIcon(0, TreePicture(node.Image, node.SelectedImage));
        item->setData(0, kPositionRole, ++position);
        byKey[node.Key] = item;
    }
    // The tree's expanded and selected nodes, as loading left them.
    for (const FolderNode& node : picker_.tvwFolders.Nodes()) {
        QTreeWidgetItem* item = byKey.at(node.Key);
        item->setExpanded(node.Expanded);
        if (node.Selected) tvwFolders_->setCurrentItem(item);
    }
}

void PickerWindow::NodeClicked(QTreeWidgetItem* item) {
    if (!item) return;
    picker_.NodeClick(picker_.tvwFolders.Node(item->data(0, kPositionRole).toInt()));
}

}  // namespace pelmar::gui
