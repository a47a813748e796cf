#include "gui/destination_delegate.h"

#include <QComboBox>
#include <QLineEdit>

#include "forms/destination_fields.h"
#include "gui/form_window.h"
#include "gui/mapping_model.h"

namespace pelmar::gui {

QWidget* DestinationDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& /*option*/,
                                           const QModelIndex& /*index*/) const {
    auto* editor = Named("cbofields", new QComboBox(parent));
    editor->setEditable(true);
    // The grid does the prefix search; the box neither completes nor adds.
    editor->setCompleter(nullptr);
    editor->setInsertPolicy(QComboBox::NoInsert);
    for (const std::string_view field : DestinationFieldList)
        editor->addItem(QString::fromUtf8(field.data(), static_cast<qsizetype>(field.size())));
    editor->setMaxVisibleItems(static_cast<int>(DestinationFieldList.size()));
    return editor;
}

void DestinationDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    auto* box = static_cast<QComboBox*>(editor);
    box->setCurrentIndex(index.data(MappingGridModel::kEditorIndexRole).toInt());
    box->lineEdit()->setText(index.data(Qt::EditRole).toString());
}

void DestinationDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const {
    model->setData(index, static_cast<QComboBox*>(editor)->currentText(), Qt::EditRole);
}

void DestinationDelegate::updateEditorGeometry(QWidget* editor, const QStyleOptionViewItem& option,
                                               const QModelIndex& /*index*/) const {
    // Over the cell, as wide as the cell; the box keeps its own height.
    editor->setGeometry(option.rect.x(), option.rect.y(), option.rect.width(), editor->sizeHint().height());
}

}  // namespace pelmar::gui
