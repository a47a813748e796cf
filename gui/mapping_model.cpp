#include "gui/mapping_model.h"

#include "forms/mapping_grid.h"

namespace pelmar::gui {

MappingGridModel::MappingGridModel(MappingGrid& grid, QObject* parent) : QAbstractTableModel(parent), grid_(grid) {}

int MappingGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : grid_.Rows(); }

int MappingGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : MappingGrid::kColumns - 1;
}

QVariant MappingGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    const int column = index.column() + 1;
    // A row named by the header shows the name, the sample beside it.
    const bool named = index.column() == kSample && !grid_.Heading(index.row() + 1).empty();
    if (named && role == Qt::DisplayRole) return QString::fromStdString(grid_.Heading(index.row() + 1));
    if (named && (role == kSampleRole || role == Qt::ToolTipRole))
        return QString::fromStdString(grid_.Cell(index.row() + 1, column));
    switch (role) {
        case Qt::DisplayRole: return QString::fromStdString(grid_.Cell(index.row() + 1, column));
        case Qt::EditRole: return QString::fromStdString(grid_.EditorText());
        case kEditorIndexRole: return grid_.EditorListIndex();
        case Qt::TextAlignmentRole:
            // Text reads from the left; the sample column is set so explicitly.
            return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
        default: return {};
    }
}

QVariant MappingGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::TextAlignmentRole) return QVariant::fromValue(Qt::AlignCenter);
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) return QString::fromStdString(MappingGrid::HeaderText(section + 1));
    return QString::fromStdString(grid_.Cell(section + 1, 0));
}

Qt::ItemFlags MappingGridModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    if (index.column() == kDestination) flags |= Qt::ItemIsEditable;
    return flags;
}

bool MappingGridModel::setData(const QModelIndex& index, const QVariant& /*value*/, int role) {
    if (role != Qt::EditRole || index.column() != kDestination) return false;
    grid_.CommitEditor();
    Refresh();
    return true;
}

void MappingGridModel::Refresh() {
    if (grid_.Rows() > 0) emit dataChanged(index(0, 0), index(grid_.Rows() - 1, columnCount() - 1));
}

}  // namespace pelmar::gui
