#include "gui/mapping_window.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/destination_delegate.h"
#include "gui/heading_delegate.h"
#include "gui/mapping_model.h"
#include "gui/mapping_view.h"
#include "gui/twips.h"

namespace pelmar::gui {
namespace {

constexpr const char* kExplanation =
    "This module allows you to select the destination fields of your address book for each of the fields "
    "specified in the source file. Field values from the source file is displayed on the left column. Select the "
    "destination field from the drop down list on the right for each source field you want to import. In case you "
    "do not want to import any source field, leave the mapping blank or select <ignore> from the drop down list. "
    "Also note that the FirstName and the MobileNumber fields of the Address Book are mandatory and have to be "
    "mapped to a source field failing which the import cannot take place.";

}  // namespace

MappingWindow::~MappingWindow() { view_->setModel(nullptr); }

MappingWindow::MappingWindow(SessionState& session, const RecordStore& lvwContacts, std::vector<std::string> header,
                             QWidget* parent)
        : FormWindow(WindowKind::Mapping, parent), grid_(session), header_(std::move(header)) {
    setObjectName(QStringLiteral("frmColMapping"));
    setWindowTitle(QStringLiteral("Change Mapping"));
    grid_.Load(lvwContacts);
    if (!header_.empty()) grid_.UseHeader(header_);

    auto* label = Named("Label1", new QLabel(QString::fromLatin1(kExplanation)));
    label->setWordWrap(true);
    model_ = new MappingGridModel(grid_, this);
    view_ = Named("MSFlexGrid1", new MappingView);
    view_->setModel(model_);
    view_->setItemDelegateForColumn(MappingGridModel::kDestination, new DestinationDelegate(view_));
    // The widths are given in twips; the grid is as wide as its first
    // column and the room the other columns are given.
    view_->verticalHeader()->setFixedWidth(Twips(MappingGrid::ColumnWidth(0), *this));
    for (int column = 0; column < model_->columnCount(); ++column)
        view_->setColumnWidth(column, Twips(MappingGrid::ColumnWidth(column + 1), *this));
    view_->setColumnHidden(MappingGridModel::kFieldIndex, true);
    view_->setFixedWidth(Twips(MappingGrid::GridWidth(), *this));
    // Rows named by a header show their sample on a second line.
    if (!header_.empty()) view_->setItemDelegateForColumn(MappingGridModel::kSample, new HeadingDelegate(view_));
    const int rowHeight = view_->fontMetrics().height() * (header_.empty() ? 1 : 2) + 8;
    view_->verticalHeader()->setDefaultSectionSize(rowHeight);
    view_->setMinimumHeight(rowHeight * 9);
    if (grid_.Rows() > 0) view_->setCurrentIndex(model_->index(grid_.CurrentRow() - 1, grid_.CurrentColumn() - 1));

    cmdMatchHeader_ = Named("cmdMatchHeader", new QPushButton(QStringLiteral("Match by &Header")));
    cmdMatchHeader_->setVisible(!header_.empty());
    cmdFinish_ = Named("cmdFinish", new QPushButton(QStringLiteral("&OK")));
    cmdCancel_ = Named("cmdCancel", new QPushButton(QStringLiteral("&Cancel")));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(cmdMatchHeader_);
    buttons->addStretch();
    buttons->addWidget(cmdFinish_);
    buttons->addWidget(cmdCancel_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    auto* centred = new QHBoxLayout;
    centred->addStretch();
    centred->addWidget(view_);
    centred->addStretch();
    layout->addLayout(centred, 1);
    layout->addLayout(buttons);

    connect(view_, &MappingView::CurrentCellChanged, this,
            [this](const QModelIndex& current) { Handle([&] { CellChanged(current); }); });
    connect(view_, &MappingView::OpenEditorRequested, this, [this] { Handle([&] { OpenEditor(); }); });
    connect(view_, &MappingView::GridFocused, this, [this] { Handle([&] { GridFocused(); }); });
    connect(view_, &MappingView::EnterPressed, this, [this] { Handle([&] { EnterPressed(); }); });
    connect(view_, &MappingView::CancelPressed, this, &QDialog::reject);
    connect(cmdMatchHeader_, &QPushButton::clicked, this, [this] { Handle([&] { MatchByHeader(); }); });
    connect(cmdFinish_, &QPushButton::clicked, this, [this] { Handle([&] { Ok(); }); });
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    view_->setFocus();
}

void MappingWindow::OpenEditor() {
    grid_.OpenEditor();
    if (!grid_.EditorVisible()) return;
    const QModelIndex cell = model_->index(grid_.CurrentRow() - 1, MappingGridModel::kDestination);
    view_->edit(cell);
    auto* editor = qobject_cast<QComboBox*>(view_->indexWidget(cell));
    if (!editor) return;
    WireEditor(*editor);
    // As an edit box taking the focus does: what it shows is selected, so
    // typing replaces it.
    editor->lineEdit()->selectAll();
}

void MappingWindow::WireEditor(QComboBox& editor) {
    connect(editor.lineEdit(), &QLineEdit::textEdited, &editor, [this, &editor](const QString& text) {
        Handle([&] {
            grid_.SetEditorText(text.toStdString());
            ShowEditorState(editor, static_cast<int>(text.size()));
        });
    });
    connect(&editor, &QComboBox::activated, &editor, [this, &editor](int index) {
        Handle([&] {
            grid_.SelectEditorItem(index);
            ShowEditorState(editor, static_cast<int>(editor.currentText().size()));
        });
    });
}

void MappingWindow::ShowEditorState(QComboBox& editor, int typed) {
    const QSignalBlocker quiet(&editor);
    editor.setCurrentIndex(grid_.EditorListIndex());
    const QString text = QString::fromStdString(grid_.EditorText());
    editor.lineEdit()->setText(text);
    if (typed < text.size())
        editor.lineEdit()->setSelection(typed, static_cast<int>(text.size()) - typed);
    else
        editor.lineEdit()->setCursorPosition(static_cast<int>(text.size()));
}

void MappingWindow::CellChanged(const QModelIndex& current) {
    grid_.SetCurrentCell(current.row() + 1, current.column() + 1);
    SyncGrid();
}

void MappingWindow::GridFocused() {
    grid_.GridFocused();
    SyncGrid();
}

void MappingWindow::EnterPressed() {
    grid_.EditorEnter();
    SyncGrid();
    view_->setCurrentIndex(model_->index(grid_.CurrentRow() - 1, grid_.CurrentColumn() - 1));
}

void MappingWindow::Ok() {
    if (grid_.Finish()) {
        accept();
        return;
    }
    SyncGrid();
}

void MappingWindow::MatchByHeader() {
    grid_.MatchByHeader(header_);
    SyncGrid();
}

void MappingWindow::SyncGrid() {
    model_->Refresh();
    if (!grid_.EditorVisible()) view_->CloseEditor();
}

}  // namespace pelmar::gui
