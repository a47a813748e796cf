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

private:
    int32_t columns_ = 0;
    std::string text_;                // every field's text, back to back
    std::vector<uint64_t> fieldEnd_;  // end offset of each field in text_
    struct Row {
        int32_t line;
        uint32_t fieldCount;
        uint64_t firstField;  // index into fieldEnd_
    };
    std::vector<Row> rows_;
};

}  // namespace pelmar
