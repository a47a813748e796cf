#include "gui/mapping_view.h"

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>

#include "gui/mapping_model.h"

namespace pelmar::gui {

MappingView::MappingView(QWidget* parent) : QTableView(parent) {
    // The grid itself is read-only: its editor opens on the dialog's terms.
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setTabKeyNavigation(false);
    setWordWrap(false);
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionsClickable(false);
    verticalHeader()->setHighlightSections(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.column() == MappingGridModel::kDestination) emit OpenEditorRequested();
    });
}

QWidget* MappingView::Editor() const { return currentIndex().isValid() ? indexWidget(currentIndex()) : nullptr; }

void MappingView::CloseEditor() {
    if (QWidget* editor = Editor()) QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool MappingView::FocusInside() const {
    const QWidget* focus = QApplication::focusWidget();
    return focus && (focus == this || isAncestorOf(focus));
}

void MappingView::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    // Qt commits an open editor into the cell being left before it moves on.
    QTableView::currentChanged(current, previous);
    if (current.isValid()) emit CurrentCellChanged(current);
}

void MappingView::focusInEvent(QFocusEvent* event) {
    QTableView::focusInEvent(event);
    emit GridFocused();
}

void MappingView::keyPressEvent(QKeyEvent* event) {
    const QString text = event->text();
    const bool typesCharacter =
        !text.isEmpty() && text.at(0).isPrint() && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
    if (!typesCharacter) {
        QTableView::keyPressEvent(event);
        return;
    }
    // A character opens the editor on a destination cell; the key itself is
    // not passed on, and elsewhere it does nothing.
    if (currentIndex().column() == MappingGridModel::kDestination && !Editor()) emit OpenEditorRequested();
    event->accept();
}

void MappingView::commitData(QWidget* editor) {
    if (FocusInside()) QTableView::commitData(editor);
}

void MappingView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
    if (hint == QAbstractItemDelegate::RevertModelCache) {
        // Escape is the dialog's Cancel, in the editor as anywhere else.
        emit CancelPressed();
        return;
    }
    const bool entered = hint == QAbstractItemDelegate::SubmitModelCache;
    if (!entered && !FocusInside()) return;
    QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
    if (entered) emit EnterPressed();
}

}  // namespace pelmar::gui
