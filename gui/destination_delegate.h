#pragma once
// The in-place editor of the mapping grid's destination cells: an editable
// combo box ("cbofields") holding the destination field list, laid over the
// cell with its own height. What it shows and what it commits is the
// grid's editor state, read and written through the model.
#include <QStyledItemDelegate>

namespace pelmar::gui {

class DestinationDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const override;
};

}  // namespace pelmar::gui
