#include "gui/record_store_model.h"

#include "core/record_store.h"

namespace pelmar::gui {

RecordStoreModel::RecordStoreModel(const RecordStore& store, QObject* parent)
        : QAbstractTableModel(parent), store_(store) {}

void RecordStoreModel::BeginListing() {
    beginResetModel();
    listing_ = true;
    endResetModel();
}

void RecordStoreModel::EndListing() {
    beginResetModel();
    listing_ = false;
    endResetModel();
}

int RecordStoreModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || listing_ ? 0 : store_.RowCount();
}

int RecordStoreModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || listing_ ? 0 : store_.ColumnCount();
}

QVariant RecordStoreModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid()) return {};
    const int32_t row = index.row() + 1;
    const int32_t subItem = index.column();
    // A row whose line failed part-way keeps only the fields listed before.
    std::string_view text;
    if (subItem == 0)
        text = store_.RowText(row);
    else if (subItem <= store_.SubItemCount(row))
        text = store_.SubItem(row, subItem);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant RecordStoreModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal) return {};
    return QString::fromStdString(RecordStore::ColumnCaption(section + 1));
}

}  // namespace pelmar::gui
