#pragma once
// The column mapping dialog (caption "Change Mapping"): the grid of source
// columns and their destinations over the forms layer's MappingGrid, its
// in-place destination editor, OK and Cancel. A fresh dialog each time the
// wizard opens it; only OK writes the session's ColumnMap.
#include <string>
#include <vector>

#include "forms/mapping_grid.h"
#include "gui/form_window.h"

class QComboBox;
class QPushButton;

namespace pelmar {
class RecordStore;
struct SessionState;
}  // namespace pelmar

namespace pelmar::gui {

class MappingGridModel;
class MappingView;

class MappingWindow : public FormWindow {
    Q_OBJECT
public:
    // Loads the grid from the preview list and `session`'s ColumnMap; a
    // failure is shown and logged, and the dialog opens with what it got.
    // With a CSV file's `header`, "Match by Header" maps the rows by it.
    MappingWindow(SessionState& session, const RecordStore& lvwContacts, std::vector<std::string> header = {},
                  QWidget* parent = nullptr);
    // The grid goes before the dialog hides its widgets: the view lets go of
    // the model over it first, so that hiding reads nothing of it.
    ~MappingWindow() override;

private:
    void OpenEditor();
    void WireEditor(QComboBox& editor);
    // The editor shows the grid's editor state; `typed` characters of it
    // were typed, the rest is the item the search completed them to.
    void ShowEditorState(QComboBox& editor, int typed);
    void CellChanged(const QModelIndex& current);
    void GridFocused();
    void EnterPressed();
    void Ok();
    void MatchByHeader();
    // The grid's rows and whether its editor is open, shown again.
    void SyncGrid();

    MappingGrid grid_;
    MappingGridModel* model_;
    MappingView* view_;
    std::vector<std::string> header_;
    QPushButton* cmdMatchHeader_;
    QPushButton* cmdFinish_;
    QPushButton* cmdCancel_;
};

}  // namespace pelmar::gui
