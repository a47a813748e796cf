#include "core/record_store.h"

#include <limits>

#include "common/error.h"

namespace pelmar {

namespace {
[[noreturn]] void ThrowOutOfRange() { throw Error(errnum::SubscriptOutOfRange, "Subscript out of range"); }
}  // namespace

void RecordStore::Clear() {
    columns_ = 0;
    text_.clear();
    fieldEnd_.clear();
    rows_.clear();
}

void RecordStore::SetColumnCount(int32_t count) {
    if (count < 0) throw Error(errnum::InvalidProcedureCall, "Invalid procedure call or argument");
    columns_ = count;
}

int32_t RecordStore::ColumnCount() const noexcept { return columns_; }

std::string RecordStore::ColumnCaption(int32_t column) { return "Col" + std::to_string(column); }

void RecordStore::Reserve(std::size_t rows, std::size_t fields, std::size_t textBytes) {
    rows_.reserve(rows);
    fieldEnd_.reserve(fields);
    text_.reserve(textBytes);
}

void RecordStore::AddRow(int32_t lineNumber, std::string_view text) {
    if (rows_.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max()) ||
        fieldEnd_.size() >= std::numeric_limits<uint32_t>::max()) {
        throw Error(errnum::Overflow, "Overflow");
    }
    rows_.push_back({lineNumber, static_cast<uint32_t>(fieldEnd_.size()), text_.size()});
    AddField(text);
}

void RecordStore::AddSubItem(std::string_view text) {
    if (rows_.empty()) ThrowOutOfRange();
    AddField(text);
}

void RecordStore::AddField(std::string_view text) {
    // Offsets are kept relative to the row, four bytes a field; a single row
    // holding more than 4 GB of text is refused.
    const uint64_t end = text_.size() + text.size() - rows_.back().textStart;
    if (end > std::numeric_limits<uint32_t>::max() || fieldEnd_.size() >= std::numeric_limits<uint32_t>::max()) {
        throw Error(errnum::Overflow, "Overflow");
    }
    text_.append(text);
    fieldEnd_.push_back(static_cast<uint32_t>(end));
}

int32_t RecordStore::RowCount() const noexcept { return static_cast<int32_t>(rows_.size()); }

const RecordStore::Row& RecordStore::RowAt(int32_t row) const {
    if (row < 1 || static_cast<std::size_t>(row) > rows_.size()) ThrowOutOfRange();
    return rows_[static_cast<std::size_t>(row - 1)];
}

uint32_t RecordStore::FieldCount(std::size_t rowIndex) const noexcept {
    const std::size_t next = rowIndex + 1 < rows_.size() ? rows_[rowIndex + 1].firstField : fieldEnd_.size();
    return static_cast<uint32_t>(next - rows_[rowIndex].firstField);
}

std::string_view RecordStore::Field(std::size_t rowIndex, uint32_t field) const {
    const Row& r = rows_[rowIndex];
    const std::size_t at = r.firstField + field;
    const uint32_t begin = field == 0 ? 0 : fieldEnd_[at - 1];
    return std::string_view(text_).substr(r.textStart + begin, fieldEnd_[at] - begin);
}

std::string RecordStore::RowKey(int32_t row) const { return "CN" + std::to_string(RowAt(row).line); }

int32_t RecordStore::RowLine(int32_t row) const { return RowAt(row).line; }

std::string_view RecordStore::RowText(int32_t row) const {
    RowAt(row);
    return Field(static_cast<std::size_t>(row - 1), 0);
}

int32_t RecordStore::SubItemCount(int32_t row) const {
    RowAt(row);
    return static_cast<int32_t>(FieldCount(static_cast<std::size_t>(row - 1)) - 1);
}

std::string_view RecordStore::SubItem(int32_t row, int32_t index) const {
    RowAt(row);
    const auto rowIndex = static_cast<std::size_t>(row - 1);
    if (index < 1 || static_cast<uint32_t>(index) >= FieldCount(rowIndex)) ThrowOutOfRange();
    return Field(rowIndex, static_cast<uint32_t>(index));
}

std::size_t RecordStore::MemoryUsage() const noexcept {
    return text_.capacity() + fieldEnd_.capacity() * sizeof(uint32_t) + rows_.capacity() * sizeof(Row);
}

}  // namespace pelmar
