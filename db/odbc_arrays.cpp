#include "db/odbc_arrays.h"

#include <sqlext.h>

#include <algorithm>
#include <cctype>

#include "db/utf16.h"

namespace pelmar::db::detail {

void ParameterArrays::Clear() {
    for (Array& a : columns_) {
        a.integers.clear();
        a.lengths.clear();
        a.narrow.clear();
        a.wide.clear();
        a.longest = 0;
    }
    rows_ = 0;
    rowBytes_ = 0;
}

void ParameterArrays::Add(const std::vector<BoundValue>& row) {
    if (rows_ == 0) {
        columns_.resize(row.size());
        for (std::size_t c = 0; c < row.size(); ++c) columns_[c].type = row[c].type;
    }
    rowBytes_ = 0;
    for (std::size_t c = 0; c < row.size(); ++c) {
        Array& a = columns_[c];
        const BoundValue& value = row[c];
        switch (a.type) {
            case adInteger:
                a.integers.push_back(value.null ? 0 : value.integer);
                a.lengths.push_back(value.null ? SQL_NULL_DATA : 0);
                rowBytes_ += sizeof(SQLINTEGER);
                continue;
            case adVarChar:
                if (!value.null) a.narrow += value.text;
                a.lengths.push_back(value.null ? SQL_NULL_DATA : static_cast<SQLLEN>(value.text.size()));
                break;
            case adVarWChar: {
                const std::size_t before = a.wide.size();
                if (!value.null) a.wide += Utf8ToUtf16(value.text);
                a.lengths.push_back(value.null ? SQL_NULL_DATA : static_cast<SQLLEN>(a.wide.size() - before));
                break;
            }
        }
        if (a.lengths.back() != SQL_NULL_DATA)
            a.longest = std::max(a.longest, static_cast<std::size_t>(a.lengths.back()));
        rowBytes_ += (a.longest + 1) * (a.type == adVarWChar ? sizeof(char16_t) : 1);
    }
    ++rows_;
}

void ParameterArrays::Lay() {
    for (Array& a : columns_) {
        a.indicators.resize(rows_);
        if (a.type == adInteger) {
            std::copy(a.lengths.begin(), a.lengths.end(), a.indicators.begin());
            continue;
        }
        const std::size_t width = a.longest + 1;
        const bool wide = a.type == adVarWChar;
        if (wide)
            a.laidWide.assign(rows_ * width, u'\0');
        else
            a.laidNarrow.assign(rows_ * width, '\0');
        std::size_t from = 0;
        for (std::size_t r = 0; r < rows_; ++r) {
            const SQLLEN length = a.lengths[r];
            // Wide text null-terminated rather than counted: the MariaDB
            // driver miscounts a wide value's length and stores a trailing NUL.
            a.indicators[r] = length == SQL_NULL_DATA ? SQL_NULL_DATA : wide ? SQL_NTS : length;
            if (length == SQL_NULL_DATA) continue;
            const auto n = static_cast<std::size_t>(length);
            if (wide)
                a.wide.copy(a.laidWide.data() + r * width, n, from);
            else
                a.narrow.copy(a.laidNarrow.data() + r * width, n, from);
            from += n;
        }
    }
}

ParameterArrays::Column ParameterArrays::At(std::size_t column, std::size_t firstRow) {
    Array& a = columns_[column];
    const std::size_t width = a.longest + 1;
    SQLLEN* indicators = a.indicators.data() + firstRow;
    switch (a.type) {
        case adVarChar:
            return {SQL_C_CHAR,
                    SQL_VARCHAR,
                    std::max<SQLULEN>(a.longest, 1),
                    a.laidNarrow.data() + firstRow * width,
                    static_cast<SQLLEN>(width),
                    indicators};
        case adVarWChar:
            return {SQL_C_WCHAR,
                    SQL_WVARCHAR,
                    std::max<SQLULEN>(a.longest, 1),
                    a.laidWide.data() + firstRow * width,
                    static_cast<SQLLEN>(width * sizeof(char16_t)),
                    indicators};
        case adInteger: break;
    }
    return {SQL_C_SLONG, SQL_INTEGER, 0, a.integers.data() + firstRow, 0, indicators};
}

namespace {

bool IdentifierChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

// Where the one VALUES group of an INSERT of markers lies: the offsets of
// VALUES, of its "(" and of its ")".
struct ValuesGroup {
    std::size_t values, open, close;
};

std::optional<ValuesGroup> FindValuesGroup(const std::string& sql) {
    std::string upper = sql;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    if (upper.find_first_not_of(" \t\r\n") != upper.find("INSERT")) return std::nullopt;
    const std::size_t values = upper.rfind("VALUES");
    if (values == std::string::npos || (values > 0 && IdentifierChar(upper[values - 1]))) return std::nullopt;
    const std::size_t open = upper.find_first_not_of(" \t\r\n", values + 6);
    if (open == std::string::npos || upper[open] != '(') return std::nullopt;
    const std::size_t close = upper.find(')', open);
    if (close == std::string::npos || upper.find_first_not_of(" \t\r\n;", close + 1) != std::string::npos)
        return std::nullopt;
    const std::string_view inside = std::string_view(sql).substr(open + 1, close - open - 1);
    if (inside.find('?') == std::string_view::npos || inside.find_first_not_of("?, \t\r\n") != std::string_view::npos)
        return std::nullopt;
    return ValuesGroup{values, open, close};
}

}  // namespace

std::optional<std::string> MultiRowInsert(const std::string& sql, std::size_t rows) {
    const auto found = FindValuesGroup(sql);
    if (!found) return std::nullopt;
    const std::string group = sql.substr(found->open, found->close + 1 - found->open);
    std::string text = sql.substr(0, found->open);
    text.reserve(text.size() + rows * (group.size() + 1));
    for (std::size_t r = 0; r < rows; ++r) {
        if (r > 0) text += ',';
        text += group;
    }
    return text;
}

std::optional<std::string> UnnestInsert(const std::string& sql, const std::vector<DataType>& types) {
    const auto found = FindValuesGroup(sql);
    if (!found || types.empty()) return std::nullopt;
    const auto markers = std::count(sql.begin() + static_cast<std::ptrdiff_t>(found->open),
                                    sql.begin() + static_cast<std::ptrdiff_t>(found->close), '?');
    if (static_cast<std::size_t>(markers) != types.size()) return std::nullopt;
    std::string text = sql.substr(0, found->values) + "SELECT * FROM unnest(";
    for (std::size_t c = 0; c < types.size(); ++c) {
        if (c > 0) text += ',';
        text += types[c] == adInteger ? "CAST(? AS int4[])" : "CAST(? AS text[])";
    }
    return text + ')';
}

void ArrayLiterals::Clear() {
    columns_.clear();
    rows_ = 0;
    bytes_ = 0;
}

void ArrayLiterals::Add(const std::vector<BoundValue>& row) {
    if (rows_ == 0) columns_.assign(row.size(), "{");
    for (std::size_t c = 0; c < row.size(); ++c) {
        std::string& literal = columns_[c];
        const std::size_t before = literal.size();
        if (rows_ > 0) literal += ',';
        const BoundValue& value = row[c];
        if (value.null) {
            literal += "NULL";
        } else if (value.type == adInteger) {
            literal += std::to_string(value.integer);
        } else {
            literal += '"';
            for (const char ch : value.text) {
                if (ch == '"' || ch == '\\') literal += '\\';
                literal += ch;
            }
            literal += '"';
        }
        bytes_ += literal.size() - before;
    }
    ++rows_;
}

}  // namespace pelmar::db::detail
