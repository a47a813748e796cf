#include "forms/mapping_grid.h"

#include "common/error.h"
#include "common/general.h"
#include "common/text.h"
#include "common/ui.h"
#include "core/column_mapping.h"
#include "core/header_mapping.h"
#include "forms/destination_fields.h"
#include "session/session_log.h"
#include "session/session_state.h"

namespace pelmar {

namespace {

constexpr int32_t kColumnWidths[MappingGrid::kColumns] = {300, 2150, 2420, 0};
constexpr int32_t kDataColumnsWidth = 4900;
constexpr const char* kIgnore = "<ignore>";

bool StartsWithIgnoringCase(std::string_view item, std::string_view prefix) {
    if (prefix.size() > item.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(item[i]) != lower(prefix[i])) return false;
    }
    return true;
}

// The list's prefix search: the first item that begins with `text`, any
// case; an empty text finds nothing.
int32_t FindItem(std::string_view text) {
    if (text.empty()) return -1;
    for (std::size_t i = 0; i < DestinationFieldList.size(); ++i) {
        if (StartsWithIgnoringCase(DestinationFieldList[i], text)) return static_cast<int32_t>(i);
    }
    return -1;
}

// A destination that is neither blank nor "<ignore>".
bool NamesDestination(const std::string& cell) {
    const std::string trimmed = Trim(cell);
    return !trimmed.empty() && trimmed != kIgnore;
}

}  // namespace

MappingGrid::MappingGrid(SessionState& session) : session_(session) {}

void MappingGrid::Load(const RecordStore& lvwContacts) {
    rows_.clear();
    currentRow_ = 1;
    currentCol_ = 1;
    editorVisible_ = false;
    try {
        LoadRows(lvwContacts);
    } catch (...) {
        const ErrorInfo error = CurrentErrorInfo();
        ShowNotification("An error has occurred while loading column mapping information.", msgbox::Exclamation);
        RecordSessionError(session_, error,
                           "Error occurred in loading column mapping information. Sub : Form_Load(frmColMapping)",
                           LogStamp::DateTime);
    }
}

void MappingGrid::LoadRows(const RecordStore& lvwContacts) {
    const int32_t columns = lvwContacts.ColumnCount();
    const std::string_view firstField = lvwContacts.RowText(1);  // the sample row

    const ColumnMap& map = session_.ColumnMap;
    auto addRow = [this, &map](int32_t r, std::string sample, int16_t position) {
        GridRow& row = rows_.emplace_back();
        row.number = std::to_string(r);
        row.sample = std::move(sample);
        row.destination = GetMappedField(map, position);
        row.index = GetFieldIndex(Trim(row.destination));
    };

    addRow(1, std::string(firstField), 0);
    for (int32_t p = 1; p <= columns - 1; ++p) {
        const int32_t r = p + 1;
        // A listed row may lack trailing sub-items; the list shows them blank.
        const std::string_view field =
            p <= lvwContacts.SubItemCount(1) ? lvwContacts.SubItem(1, p) : std::string_view{};
        std::string sample = Trim(field).empty() ? "Column" + std::to_string(r) : std::string(field);
        addRow(r, std::move(sample), CheckedInt16(p));
    }
}

int32_t MappingGrid::Rows() const noexcept { return static_cast<int32_t>(rows_.size()); }

std::string MappingGrid::Cell(int32_t row, int32_t col) const {
    if (row < 0 || row > Rows() || col < 0 || col >= kColumns) {
        throw Error(errnum::SubscriptOutOfRange, "Subscript out of range");
    }
    if (row == 0) return HeaderText(col);
    const GridRow& cells = Row(row);
    switch (col) {
        case 0: return cells.number;
        case 1: return cells.sample;
        case 2: return cells.destination;
        default: return std::to_string(cells.index);
    }
}

std::string MappingGrid::HeaderText(int32_t col) {
    if (col == 1) return "Text Field";
    if (col == 2) return "Address Book Field";
    return "";
}

int32_t MappingGrid::ColumnWidth(int32_t col) { return col >= 0 && col < kColumns ? kColumnWidths[col] : 0; }

bool MappingGrid::ColumnLeftAligned(int32_t col) { return col == 1; }

int32_t MappingGrid::GridWidth() { return kColumnWidths[0] + kDataColumnsWidth; }

void MappingGrid::SetCurrentCell(int32_t row, int32_t col) {
    if (row < 1 || row > Rows() || col < 1 || col >= kColumns) return;
    if (row == currentRow_ && col == currentCol_) return;
    CommitEditor();  // the pending choice lands in the row it was opened on
    currentRow_ = row;
    currentCol_ = col;
}

void MappingGrid::OpenEditor() {
    if (currentCol_ != 2 || currentRow_ < 1 || currentRow_ > Rows()) return;
    editorVisible_ = true;
    const std::string cell = Trim(Row(currentRow_).destination);
    // An empty cell shows what the editor held from its last use.
    if (!cell.empty() && cell != editorText_) SetEditorText(cell);
}

void MappingGrid::SetEditorText(const std::string& text) {
    editorText_ = text;
    editorIndex_ = FindItem(text);
    if (editorIndex_ >= 0) editorText_ = DestinationFieldList[static_cast<std::size_t>(editorIndex_)];
}

void MappingGrid::SelectEditorItem(int32_t index) {
    if (index < 0 || static_cast<std::size_t>(index) >= DestinationFieldList.size()) {
        editorIndex_ = -1;
        return;
    }
    editorIndex_ = index;
    editorText_ = DestinationFieldList[static_cast<std::size_t>(index)];
}

void MappingGrid::CommitEditor() {
    if (!editorVisible_) return;
    if (currentRow_ >= 1 && currentRow_ <= Rows()) {
        GridRow& row = Row(currentRow_);
        row.destination = editorText_;
        row.index = editorIndex_ >= 1 ? static_cast<int16_t>(editorIndex_) : int16_t{-1};
    }
    currentCol_ = 2;
    editorVisible_ = false;
}

void MappingGrid::EditorEnter() {
    CommitEditor();
    if (currentRow_ < Rows()) SetCurrentCell(currentRow_ + 1, 2);
}

bool MappingGrid::Finish() {
    if (editorVisible_ && editorIndex_ != -1) CommitEditor();
    if (!CheckMandatory() || !CheckDuplicates() || !CheckNames()) return false;
    Store();
    return true;
}

bool MappingGrid::CheckMandatory() const {
    int32_t count = 0;
    for (int32_t r = 1; r <= Rows(); ++r) {
        const std::string& name = Row(r).destination;
        // Kept on purpose: docs/behaviour.md#the-mapping-check-names-sex
        if (name == "FirstName" || name == "MobileNumber") ++count;
    }
    if (count >= 2) return true;
    ShowNotification(
        "The First Name, Mobile Number and Sex fields are mandatory and have to be mapped to some "
        "source fields.",
        msgbox::Information);
    return false;
}

bool MappingGrid::CheckDuplicates() const {
    for (int32_t r = 1; r <= Rows(); ++r) {
        const GridRow& row = Row(r);
        if (row.index <= 0) continue;
        const std::string name = Trim(row.destination);
        int32_t same = 0;
        for (int32_t s = 1; s <= Rows(); ++s) {
            if (Trim(Row(s).destination) == name) ++same;
        }
        if (same > 1) {
            ShowNotification("A destination field can be mapped to a source field only once.", msgbox::Information);
            return false;
        }
    }
    return true;
}

bool MappingGrid::CheckNames() const {
    for (int32_t r = 1; r <= Rows(); ++r) {
        const GridRow& row = Row(r);
        if (NamesDestination(row.destination) && row.index < 0) {
            ShowNotification("Invalid destination field name in row no " + std::to_string(r), msgbox::Information);
            return false;
        }
    }
    return true;
}

void MappingGrid::Store() const {
    ColumnMap& map = session_.ColumnMap;
    int k = 1;
    for (int32_t r = 1; r <= Rows(); ++r) {
        const GridRow& row = Row(r);
        if (NamesDestination(row.destination) && row.index != -1) {
            map[k] = {std::to_string(r - 1), row.destination};
            ++k;
        }
    }
    // One entry per destination field; the last entry is never the dialog's.
    for (; k <= 20; ++k) map[k] = {"", ""};
}

void MappingGrid::MatchByHeader(const std::vector<std::string>& header) {
    std::vector<std::string> fields(rows_.size(), kIgnore);
    for (const HeaderMatch& match : MapByHeader(header).matches)
        if (static_cast<std::size_t>(match.column) < fields.size())
            fields[static_cast<std::size_t>(match.column)] = FieldName(match.field);
    for (int32_t r = 1; r <= Rows(); ++r) SetDestination(r, fields[static_cast<std::size_t>(r - 1)]);
}

void MappingGrid::SetDestination(int32_t row, const std::string& field) {
    if (row < 1 || row > Rows()) throw Error(errnum::SubscriptOutOfRange, "Subscript out of range");
    SetCurrentCell(row, 2);
    OpenEditor();
    const int32_t item = GetFieldIndex(field);
    if (field == kIgnore)
        SelectEditorItem(0);
    else if (item > 0)
        SelectEditorItem(item);
    else
        SetEditorText(field);
    CommitEditor();
}

void MappingGrid::UseHeader(const std::vector<std::string>& header) {
    for (int32_t r = 1; r <= Rows() && static_cast<std::size_t>(r) <= header.size(); ++r)
        Row(r).heading = header[static_cast<std::size_t>(r - 1)];
    // What Finish maps by when nothing was confirmed: the same matches, shown.
    if (ColumnMapping::Resolve(session_.ColumnMap).NamesAnyField()) return;
    for (const HeaderMatch& match : MapByHeader(header).matches) {
        if (match.column >= Rows()) continue;
        GridRow& row = Row(match.column + 1);
        row.destination = FieldName(match.field);
        row.index = GetFieldIndex(row.destination);
    }
}

const std::string& MappingGrid::Heading(int32_t row) const {
    if (row < 1 || row > Rows()) throw Error(errnum::SubscriptOutOfRange, "Subscript out of range");
    return Row(row).heading;
}

}  // namespace pelmar
