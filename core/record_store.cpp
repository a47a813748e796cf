#include "core/record_store.h"

#include <limits>

#include "common/error.h"

namespace pelmar {

namespace {

[[noreturn]] void ThrowOutOfRange() { throw Error(errnum::SubscriptOutOfRange, "Subscript out of range"); }

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::string_view DropLastChar(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && (static_cast<unsigned char>(text[end - 1]) & 0xC0) == 0x80) --end;
    return text.substr(0, end > 0 ? end - 1 : 0);
}

// Kept on purpose: docs/behaviour.md#only-the-outer-quotes-of-a-field
// The listing's reading of a field: one that starts with a double quote loses
// its last and then its first character; nothing else is done about quotes.
std::string_view Unquote(std::string_view field) {
    if (IsBlank(field) || field.front() != '"') return field;
    field = DropLastChar(field);
    if (!IsBlank(field)) field.remove_prefix(1);
    return field;
}

constexpr uint32_t kMaxNarrowEnd = std::numeric_limits<uint16_t>::max();

}  // namespace

void RecordStore::Clear() {
    columns_ = 0;
    delimiterBytes_ = 0;
    shared_.reset();
    owned_.clear();
    ends16_.clear();
    ends32_.clear();
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
    ends16_.reserve(fields);
    owned_.reserve(textBytes);
}

void RecordStore::ShareText(std::shared_ptr<const std::string> text) { shared_ = std::move(text); }

void RecordStore::AddRow(int32_t lineNumber, std::string_view text) {
    if (rows_.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max()))
        throw Error(errnum::Overflow, "Overflow");
    rows_.push_back({owned_.size(), lineNumber, static_cast<uint32_t>(ends16_.size()), 0, 0, 1, 0, 0});
    AddSubItem(text);
}

void RecordStore::AddSubItem(std::string_view text) {
    if (rows_.empty()) ThrowOutOfRange();
    Row& row = rows_.back();
    if (row.cut) ThrowOutOfRange();
    owned_.append(text);
    PushEnd(row, owned_.size() - row.start);
    ++row.fields;
}

void RecordStore::AddLine(int32_t lineNumber, std::string_view line, std::span<const uint32_t> ends, uint32_t fields,
                          uint32_t delimiterBytes) {
    if (rows_.size() >= static_cast<std::size_t>(std::numeric_limits<int32_t>::max()) || ends.size() > fields)
        throw Error(errnum::Overflow, "Overflow");
    delimiterBytes_ = delimiterBytes;
    const bool inShared =
        shared_ && line.data() >= shared_->data() && line.data() + line.size() <= shared_->data() + shared_->size();
    uint64_t start = 0;
    if (inShared) {
        start = static_cast<uint64_t>(line.data() - shared_->data());
    } else {
        start = owned_.size();
        owned_.append(line);
    }
    const bool wide = line.size() > kMaxNarrowEnd;
    rows_.push_back({start, lineNumber, static_cast<uint32_t>(wide ? ends32_.size() : ends16_.size()), fields, 0,
                     !inShared, wide, 1});
    Row& row = rows_.back();
    for (const uint32_t end : ends) PushEnd(row, end);
}

void RecordStore::PushEnd(Row& row, uint64_t end) {
    if (end > std::numeric_limits<uint32_t>::max() || row.stored + 1u >= (1u << 29))
        throw Error(errnum::Overflow, "Overflow");
    if (!row.wide && end > kMaxNarrowEnd) {
        // A row given field by field outgrew the narrow offsets: its ends,
        // the last ones stored, move over.
        const uint32_t first = static_cast<uint32_t>(ends32_.size());
        for (uint32_t i = 0; i < row.stored; ++i) ends32_.push_back(ends16_[row.firstEnd + i]);
        ends16_.resize(row.firstEnd);
        row.firstEnd = first;
        row.wide = 1;
    }
    if (row.wide)
        ends32_.push_back(static_cast<uint32_t>(end));
    else
        ends16_.push_back(static_cast<uint16_t>(end));
    ++row.stored;
}

uint32_t RecordStore::End(const Row& row, uint32_t field) const {
    return row.wide ? ends32_[row.firstEnd + field] : ends16_[row.firstEnd + field];
}

std::string_view RecordStore::Field(const Row& row, uint32_t field) const {
    if (field >= row.stored) return {};
    const uint32_t begin = field == 0 ? 0 : End(row, field - 1) + (row.cut ? delimiterBytes_ : 0);
    const std::string_view text = row.owned ? std::string_view(owned_) : std::string_view(*shared_);
    const std::string_view raw = text.substr(row.start + begin, End(row, field) - begin);
    return row.cut ? Unquote(raw) : raw;
}

int32_t RecordStore::RowCount() const noexcept { return static_cast<int32_t>(rows_.size()); }

const RecordStore::Row& RecordStore::RowAt(int32_t row) const {
    if (row < 1 || static_cast<std::size_t>(row) > rows_.size()) ThrowOutOfRange();
    return rows_[static_cast<std::size_t>(row - 1)];
}

std::string RecordStore::RowKey(int32_t row) const { return "CN" + std::to_string(RowAt(row).line); }

int32_t RecordStore::RowLine(int32_t row) const { return RowAt(row).line; }

std::string_view RecordStore::RowText(int32_t row) const { return Field(RowAt(row), 0); }

int32_t RecordStore::SubItemCount(int32_t row) const { return static_cast<int32_t>(RowAt(row).fields) - 1; }

std::string_view RecordStore::SubItem(int32_t row, int32_t index) const {
    const Row& r = RowAt(row);
    if (index < 1 || static_cast<uint32_t>(index) >= r.fields) ThrowOutOfRange();
    return Field(r, static_cast<uint32_t>(index));
}

std::string_view RecordStore::FieldAt(int32_t row, int32_t position) const {
    if (position < 0) return {};
    const Row& r = RowAt(row);
    return static_cast<uint32_t>(position) < r.fields ? Field(r, static_cast<uint32_t>(position)) : std::string_view();
}

std::size_t RecordStore::MemoryUsage() const noexcept {
    return owned_.capacity() + ends16_.capacity() * sizeof(uint16_t) + ends32_.capacity() * sizeof(uint32_t) +
           rows_.capacity() * sizeof(Row);
}

}  // namespace pelmar
