#pragma once
// ParameterRows: the values of many executions of one command, kept for
// running them later (as one array execution, or again row by row). All text
// shares one buffer, so that a batch of thousands of rows costs a few
// allocations, not one per field.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "db/value.h"

namespace pelmar::db {

class ParameterRows {
public:
    explicit ParameterRows(std::size_t columns) : columns_(columns) {}

    std::size_t Columns() const noexcept { return columns_; }
    std::size_t Size() const noexcept { return columns_ ? cells_.size() / columns_ : 0; }
    bool Empty() const noexcept { return cells_.empty(); }

    // Appends a row: `row` holds a value for each column, in order.
    void Add(std::span<const Value> row);
    void Add(std::span<const ValueView> row);
    // Row `r` (0-based) as values, set in place: a Text value set again
    // allocates only when it grows.
    void Read(std::size_t r, std::vector<Value>& row) const;
    // Row `r`'s value in column `c`.
    Value ValueAt(std::size_t r, std::size_t c) const;
    // The type of row `r`'s value in column `c`.
    Value::Type TypeAt(std::size_t r, std::size_t c) const { return CellAt(r, c).type; }
    // Row `r`'s Int32 or Int64 value in column `c`.
    int64_t IntegerAt(std::size_t r, std::size_t c) const { return CellAt(r, c).integer; }
    // The text of row `r`'s Text value in column `c`, where it is kept.
    std::string_view TextAt(std::size_t r, std::size_t c) const {
        const Cell& cell = CellAt(r, c);
        return std::string_view(text_).substr(cell.offset, cell.length);
    }
    // Removes every row and keeps the room they took.
    void Clear() noexcept;
    // Room for `rows` rows, so that a batch of known size does not grow
    // step by step.
    void Reserve(std::size_t rows) { cells_.reserve(rows * columns_); }

private:
    struct Cell {
        Value::Type type;
        uint32_t length;  // of a Text cell's text
        union {
            int64_t integer;  // Int32 and Int64
            double real;
            uint64_t offset;  // of a Text cell's text in text_
        };
    };

    void CheckWidth(std::size_t values) const;
    void AddCell(ValueView value);
    const Cell& CellAt(std::size_t r, std::size_t c) const { return cells_[r * columns_ + c]; }

    std::size_t columns_;
    std::vector<Cell> cells_;
    std::string text_;
};

}  // namespace pelmar::db
