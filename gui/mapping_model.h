#pragma once
// The column mapping grid as a table model over the forms layer's
// MappingGrid. Model column c shows grid column c + 1 (the sample, the
// destination and its hidden index); the grid's first column, the row
// number, is the vertical header. The destination column is edited in
// place; the editor's state lives in the grid and is read through the cell
// it edits.
#include <QAbstractTableModel>

namespace pelmar {
class MappingGrid;
}

namespace pelmar::gui {

class MappingGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kSample = 0;
    static constexpr int kDestination = 1;
    static constexpr int kFieldIndex = 2;
    // The editor's list position, -1 for no item (Qt::EditRole is its text).
    static constexpr int kEditorIndexRole = Qt::UserRole;
    // In the sample column of a row named by the file's header (the display
    // text is then the header's name): the sample itself; null otherwise.
    static constexpr int kSampleRole = Qt::UserRole + 1;

    explicit MappingGridModel(MappingGrid& grid, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Committing the editor into its cell: the grid writes the editor's
    // text and list position into the current row.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The grid changed behind the model's back (a commit of its own).
    void Refresh();

private:
    MappingGrid& grid_;
};

}  // namespace pelmar::gui
