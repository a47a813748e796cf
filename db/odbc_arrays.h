#pragma once
// What an ODBC array execution binds: the values of a chunk of rows laid out
// column-wise (one fixed-width element per row, as SQLBindParameter reads an
// array), and the multi-row form of an INSERT for drivers that gain little
// from arrays.
#include <sql.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "db/backend.h"

namespace pelmar::db::detail {

class ParameterArrays {
public:
    // One column's array, from a given row on, as SQLBindParameter takes it.
    struct Column {
        SQLSMALLINT cType;
        SQLSMALLINT sqlType;
        SQLULEN columnSize;
        SQLPOINTER data;
        SQLLEN width;  // bytes per element
        SQLLEN* indicators;
    };

    // Drops the rows, keeping the room.
    void Clear();
    // Copies a row's values (wide text as UTF-16); every row has the same
    // parameters in the same order.
    void Add(const std::vector<BoundValue>& row);
    std::size_t Rows() const noexcept { return rows_; }
    std::size_t Columns() const noexcept { return columns_.size(); }
    // The bytes the laid-out arrays take.
    std::size_t Bytes() const noexcept { return rows_ * rowBytes_; }
    // Lays the rows out for binding; call after the last Add.
    void Lay();
    Column At(std::size_t column, std::size_t firstRow);

private:
    struct Array {
        DataType type = adInteger;
        std::vector<SQLINTEGER> integers;
        std::vector<SQLLEN> lengths;  // in bytes or char16_t units; SQL_NULL_DATA for Null
        std::string narrow;           // the texts one after another, then laid out
        std::u16string wide;
        std::size_t longest = 0;  // in units, without the terminator
        std::string laidNarrow;
        std::u16string laidWide;
        std::vector<SQLLEN> indicators;
    };

    std::vector<Array> columns_;
    std::size_t rows_ = 0;
    std::size_t rowBytes_ = 0;
};

// The values of many rows as PostgreSQL array literals, one per column
// ({1,NULL} for integers, {"a","b \"c\""} for text), for an INSERT that
// takes each column as one array (UnnestInsert).
class ArrayLiterals {
public:
    void Clear();
    void Add(const std::vector<BoundValue>& row);
    std::size_t Rows() const noexcept { return rows_; }
    std::size_t Bytes() const noexcept { return bytes_; }
    // Column `c`'s literal, closed; after the last Add.
    std::string Literal(std::size_t c) const { return columns_[c] + '}'; }
    std::size_t Columns() const noexcept { return columns_.size(); }

private:
    std::vector<std::string> columns_;
    std::size_t rows_ = 0;
    std::size_t bytes_ = 0;
};

// `sql` as an INSERT of the rows of one array per column ("INSERT INTO T(A,B)
// SELECT * FROM unnest(CAST(? AS int4[]),CAST(? AS text[]))"), when it is an
// INSERT whose one VALUES group holds a marker for each of `types`; none
// otherwise. PostgreSQL runs it several times faster than as many VALUES
// lists, each of which it sets up as expressions of their own.
std::optional<std::string> UnnestInsert(const std::string& sql, const std::vector<DataType>& types);

// `sql` with its VALUES group repeated for `rows` rows ("VALUES(?,?),(?,?)"),
// when it is an INSERT whose one VALUES group holds only "?" markers; none
// otherwise (another statement, or a group that computes a value per row).
std::optional<std::string> MultiRowInsert(const std::string& sql, std::size_t rows);

}  // namespace pelmar::db::detail
