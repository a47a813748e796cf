#pragma once
// MappingGrid: the column mapping dialog without its window. It holds the
// grid (a header row and one row per source column, four columns), the
// in-place destination editor and the OK checks; a Qt dialog or the batch
// command drives it.
//
// Grid columns: 0 the row number, 1 a sample of the source column, 2 the
// destination field name as shown, 3 (hidden) the destination's index, 1 to
// 20, or -1.
#include <cstdint>
#include <string>
#include <vector>

#include "core/record_store.h"

namespace pelmar {

struct SessionState;

class MappingGrid {
public:
    static constexpr int32_t kColumns = 4;

    // A grid over `session`'s ColumnMap, which OK writes.
    explicit MappingGrid(SessionState& session);

    // Fills the grid from the preview list and the session's ColumnMap. A
    // failure is shown and logged; the grid keeps the rows filled before it.
    void Load(const RecordStore& lvwContacts);

    // Data rows (one per source column); cells of row 0 are the headers.
    int32_t Rows() const noexcept;
    // Row 0..Rows(), column 0..3; throws errnum::SubscriptOutOfRange outside.
    std::string Cell(int32_t row, int32_t col) const;

    static std::string HeaderText(int32_t col);
    static int32_t ColumnWidth(int32_t col);  // twips; column 3 is hidden (0)
    static bool ColumnLeftAligned(int32_t col);
    static int32_t GridWidth();  // twips

    // The grid's current cell (rows 1..Rows(), columns 1..3). Leaving the
    // current cell commits a pending edit into the row it was opened on;
    // positions outside the grid are ignored.
    void SetCurrentCell(int32_t row, int32_t col);
    int32_t CurrentRow() const noexcept { return currentRow_; }
    int32_t CurrentColumn() const noexcept { return currentCol_; }
    // The grid got the input focus back: commits a pending edit.
    void GridFocused() { CommitEditor(); }

    // The in-place editor over the destination column. Its list is the
    // destination field list; its list position is the field's index.
    void OpenEditor();                            // a click or key on the current cell
    void SetEditorText(const std::string& text);  // the user typed: prefix search
    void SelectEditorItem(int32_t index);         // the user chose from the list
    const std::string& EditorText() const noexcept { return editorText_; }
    int32_t EditorListIndex() const noexcept { return editorIndex_; }
    bool EditorVisible() const noexcept { return editorVisible_; }
    void CommitEditor();
    void EditorEnter();  // commit, then one row down unless on the last row

    // OK: checks the mapping (a failed check is shown and leaves everything
    // as it was) and stores it into the session's ColumnMap. True when stored.
    bool Finish();

    // What a user does to map `row` to `field`: select the cell, open the
    // editor, choose the field from the list when it is one of its items
    // (else type it), commit.
    void SetDestination(int32_t row, const std::string& field);

    // "Match by &Header": each row whose column's header names a contact
    // field (header_mapping.h) maps to it; every other row to "<ignore>".
    void MatchByHeader(const std::vector<std::string>& header);

    // The standard CSV format: each row is named by its column's header, and
    // while the session's ColumnMap names no field the rows start mapped as
    // the run would map them by that header. Call after Load.
    void UseHeader(const std::vector<std::string>& header);
    // The header's name of a row's column; "" without one.
    const std::string& Heading(int32_t row) const;

private:
    // A data row: its number, the sample, the destination as shown, and the
    // destination's index in the field list (1 to 20, or -1).
    struct GridRow {
        std::string number;
        std::string sample;
        std::string destination;
        int16_t index = -1;
        std::string heading;
    };
    void LoadRows(const RecordStore& lvwContacts);
    bool CheckMandatory() const;
    bool CheckDuplicates() const;
    bool CheckNames() const;
    void Store() const;

    GridRow& Row(int32_t row) { return rows_[static_cast<std::size_t>(row - 1)]; }
    const GridRow& Row(int32_t row) const { return rows_[static_cast<std::size_t>(row - 1)]; }

    SessionState& session_;
    std::vector<GridRow> rows_;  // data rows 1 .. Rows()
    int32_t currentRow_ = 1;
    int32_t currentCol_ = 1;
    bool editorVisible_ = false;
    std::string editorText_;
    int32_t editorIndex_ = -1;
};

}  // namespace pelmar
