#pragma once
// The mapping grid's source column when the file has a header: the header's
// name, and under it, greyed, the column's value in the first record.
#include <QStyledItemDelegate>

namespace pelmar::gui {

class HeadingDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace pelmar::gui
