#include "db/parameter_rows.h"

#include "db/db_error_source.h"

namespace pelmar::db {

void ParameterRows::Add(std::span<const Value> row) {
    if (row.size() != columns_)
        detail::ThrowAdo(detail::adoerr::BadArguments, "A row of " + std::to_string(row.size()) + " values for " +
                                                           std::to_string(columns_) + " parameters.");
    for (const Value& value : row) {
        Cell cell{value.GetType(), 0, {0}};
        switch (cell.type) {
            case Value::Type::Int32: cell.integer = value.ToInt32(); break;
            case Value::Type::Int64: cell.integer = value.Int64(); break;
            case Value::Type::Double: cell.real = value.Double(); break;
            case Value::Type::Text:
                cell.offset = text_.size();
                cell.length = static_cast<uint32_t>(value.Text()->size());
                text_ += *value.Text();
                break;
            case Value::Type::Empty:
            case Value::Type::Null: break;
        }
        cells_.push_back(cell);
    }
}

void ParameterRows::Read(std::size_t r, std::vector<Value>& row) const {
    row.resize(columns_);
    const Cell* cell = cells_.data() + r * columns_;
    for (std::size_t c = 0; c < columns_; ++c, ++cell) {
        switch (cell->type) {
            case Value::Type::Empty: row[c] = Value(); break;
            case Value::Type::Null: row[c] = Value(Null{}); break;
            case Value::Type::Int32: row[c] = Value(static_cast<int32_t>(cell->integer)); break;
            case Value::Type::Int64: row[c] = Value(cell->integer); break;
            case Value::Type::Double: row[c] = Value(cell->real); break;
            case Value::Type::Text: row[c].SetText(std::string_view(text_).substr(cell->offset, cell->length)); break;
        }
    }
}

void ParameterRows::Clear() noexcept {
    cells_.clear();
    text_.clear();
}

}  // namespace pelmar::db
