#pragma once
// RecordStore: the preview list of the import wizard (lvwContacts) and the
// record store of the whole import. Columns are "Col1".."ColN"; one row per
// listed source line, keyed "CN" + the line's number in the file; a row's text
// is field 1 and its sub-item p (1-based) is field p + 1.
//
// Built for millions of rows. A row cut from a source line keeps the line as
// it stands and where each of its fields ends; a field is cut out of the line
// (and unquoted, as the listing reads fields) only when it is read. A line that
// lies in a shared text (the preview of the same file) is referred to there
// instead of copied, so the listing adds little to the preview it was made
// from.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace pelmar {

class RecordStore {
public:
    // Removes every row and every column.
    void Clear();

    void SetColumnCount(int32_t count);
    int32_t ColumnCount() const noexcept;
    static std::string ColumnCaption(int32_t column);  // "Col" + column (1-based)

    // Rows given field by field, each field's text as it is: a row for source
    // line `lineNumber` whose text is `text`, then its sub-items in order.
    void AddRow(int32_t lineNumber, std::string_view text);
    void AddSubItem(std::string_view text);

    // Lines that lie in `text` are referred to there from now on.
    void ShareText(std::shared_ptr<const std::string> text);
    // A row cut from source line `line` with `fields` fields: the first
    // ends.size() of them end where `ends` says (offsets in the line, before
    // unquoting), each but the last followed by a delimiter of
    // `delimiterBytes`; the fields after them are empty.
    void AddLine(int32_t lineNumber, std::string_view line, std::span<const uint32_t> ends, uint32_t fields,
                 uint32_t delimiterBytes);

    int32_t RowCount() const noexcept;
    // Rows are 1-based, as the list numbers its items; out-of-range rows and
    // sub-items throw errnum::SubscriptOutOfRange.
    std::string RowKey(int32_t row) const;  // "CN" + line number
    int32_t RowLine(int32_t row) const;
    std::string_view RowText(int32_t row) const;
    int32_t SubItemCount(int32_t row) const;
    std::string_view SubItem(int32_t row, int32_t index) const;
    // Field `position` of a row: its text (0) or a sub-item (1...); empty
    // for any other position.
    std::string_view FieldAt(int32_t row, int32_t position) const;

    // Bytes held (not counting a shared text), for the memory benchmark.
    std::size_t MemoryUsage() const noexcept;

    // Room for `rows` rows, `fields` fields in all and `textBytes` bytes of
    // copied text, so that a large listing does not grow step by step.
    void Reserve(std::size_t rows, std::size_t fields, std::size_t textBytes);

private:
    struct Row {
        uint64_t start;  // of the row's text in the shared or the owned text
        int32_t line;
        uint32_t firstEnd;  // index into ends16_ or ends32_
        uint32_t fields;    // fields of the row; those past `stored` are empty
        uint32_t stored : 29;
        uint32_t owned : 1;  // the text is in owned_, not in shared_
        uint32_t wide : 1;   // the ends are in ends32_ (a line over 64 KiB)
        uint32_t cut : 1;    // cut from a line: delimited fields, unquoted when read
    };
    const Row& RowAt(int32_t row) const;
    std::string_view Field(const Row& row, uint32_t field) const;
    uint32_t End(const Row& row, uint32_t field) const;
    void PushEnd(Row& row, uint64_t end);

    int32_t columns_ = 0;
    uint32_t delimiterBytes_ = 0;
    std::shared_ptr<const std::string> shared_;
    std::string owned_;
    std::vector<uint16_t> ends16_;
    std::vector<uint32_t> ends32_;
    std::vector<Row> rows_;
};

}  // namespace pelmar
