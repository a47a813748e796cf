#pragma once
// The mapping grid's view. It reports what the dialog turns into the grid's
// handlers: the current cell moving, a click or a character key that opens
// the editor, the grid taking the focus, Enter in the editor. A choice in
// the editor is committed only when the focus stays with the grid (Enter,
// another cell, a click into the grid); when the focus goes to another
// control the editor stays open with its choice pending, and OK decides.
#include <QAbstractItemDelegate>
#include <QTableView>

namespace pelmar::gui {

class MappingView : public QTableView {
    Q_OBJECT
public:
    explicit MappingView(QWidget* parent = nullptr);

    // The open editor, if any.
    QWidget* Editor() const;
    // Closes the open editor without committing it.
    void CloseEditor();

signals:
    void CurrentCellChanged(const QModelIndex& current);
    void OpenEditorRequested();
    void GridFocused();
    void EnterPressed();
    void CancelPressed();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void commitData(QWidget* editor) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    bool FocusInside() const;
};

}  // namespace pelmar::gui
