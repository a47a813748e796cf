#pragma once
// RecordStore: the preview list of the import wizard (lvwContacts) and the
// record store of the whole import. Columns are "Col1".."ColN"; one row per
// listed source line, keyed "CN" + the line's number in the file; a row's text
// is field 1 and its sub-item p (1-based) is field p + 1.
//
// Built for millions of rows: all field texts live in one contiguous buffer,
// rows and fields are offsets into it.
#include <cstdint>
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

    // Starts a row for source line `lineNumber` whose text is `text`.
    void AddRow(int32_t lineNumber, std::string_view text);
    // Adds the next sub-item to the last row.
    void AddSubItem(std::string_view text);

    int32_t RowCount() const noexcept;
    // Rows are 1-based, as the list numbers its items; out-of-range rows and
    // sub-items throw errnum::SubscriptOutOfRange.
    std::string RowKey(int32_t row) const;  // "CN" + line number
    int32_t RowLine(int32_t row) const;
    std::string_view RowText(int32_t row) const;
    int32_t SubItemCount(int32_t row) const;
    std::string_view SubItem(int32_t row, int32_t index) const;

    // Bytes held, for the memory benchmark.
    std::size_t MemoryUsage() const noexcept;

    // Room for `rows` rows, `fields` fields in all and `textBytes` bytes of
    // field text, so that a large listing does not grow step by step.
    void Reserve(std::size_t rows, std::size_t fields, std::size_t textBytes);

private:
    struct Row {
        int32_t line;
        uint32_t firstField;  // index into fieldEnd_ of the row's text
        uint64_t textStart;   // offset of the row's text in text_
    };
    const Row& RowAt(int32_t row) const;
    uint32_t FieldCount(std::size_t rowIndex) const noexcept;
    std::string_view Field(std::size_t rowIndex, uint32_t field) const;
    void AddField(std::string_view text);

    int32_t columns_ = 0;
    std::string text_;                // every field's text, back to back
    std::vector<uint32_t> fieldEnd_;  // end of each field, relative to its row's textStart
    std::vector<Row> rows_;
};

}  // namespace pelmar
