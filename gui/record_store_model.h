#pragma once
// The preview list of the import wizard as a table model over the core's
// record store: the store keeps every field once, the model only reads it,
// so a million rows cost no more than the store itself. Column c shows
// field c + 1 of each row; the header shows "Col1".."ColN".
#include <QAbstractTableModel>

namespace pelmar {
class RecordStore;
}

namespace pelmar::gui {

class RecordStoreModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit RecordStoreModel(const RecordStore& store, QObject* parent = nullptr);

    // While the store is refilled the model shows it empty.
    void BeginListing();
    void EndListing();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const RecordStore& store_;
    bool listing_ = false;
};

}  // namespace pelmar::gui
