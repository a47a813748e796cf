#include "gui/heading_delegate.h"

#include <QApplication>
#include <QPainter>

#include "gui/mapping_model.h"

namespace pelmar::gui {

void HeadingDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const QString sample = index.data(MappingGridModel::kSampleRole).toString();
    if (sample.isNull()) return QStyledItemDelegate::paint(painter, option, index);
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString heading = item.text;
    item.text.clear();
    QStyle* style = item.widget ? item.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, item.widget);

    const QRect text = style->subElementRect(QStyle::SE_ItemViewItemText, &item, item.widget).adjusted(2, 0, -2, 0);
    const int line = item.fontMetrics.height();
    const int top = text.top() + (text.height() - 2 * line) / 2;
    const bool selected = item.state & QStyle::State_Selected;
    painter->save();
    painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(QRect(text.left(), top, text.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                      item.fontMetrics.elidedText(heading, Qt::ElideRight, text.width()));
    painter->setPen(item.palette.color(selected ? QPalette::HighlightedText : QPalette::PlaceholderText));
    painter->drawText(QRect(text.left(), top + line, text.width(), line), Qt::AlignLeft | Qt::AlignVCenter,
                      item.fontMetrics.elidedText(sample, Qt::ElideRight, text.width()));
    painter->restore();
}

QSize HeadingDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const {
    QSize size = QStyledItemDelegate::sizeHint(option, index);
    if (!index.data(MappingGridModel::kSampleRole).isNull()) size.rheight() += option.fontMetrics.height();
    return size;
}

}  // namespace pelmar::gui
