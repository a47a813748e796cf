#include "db/parameter_rows.h"

#include "db/db_error_source.h"

namespace pelmar::db {

void ParameterRows::Add(std::span<const Value> row) {
    CheckWidth(row.size());
    for (const Value& value : row) AddCell(value);
}

void ParameterRows::Add(std::span<const ValueView> row) {
    CheckWidth(row.size());
    for (const ValueView value : row) AddCell(value);
}

void ParameterRows::CheckWidth(std::size_t values) const {
    if (values != columns_)
        detail::ThrowAdo(detail::adoerr::BadArguments, "A row of " + std::to_string(values) + " values for " +
                                                           std::to_string(columns_) + " parameters.");
}

void ParameterRows::AddCell(ValueView value) {
    Cell cell{value.GetType(), 0, {0}};
    switch (cell.type) {
        case Value::Type::Int32:
        case Value::Type::Int64: cell.integer = value.Integer(); break;
        case Value::Type::Double: cell.real = value.Double(); break;
        case Value::Type::Text:
            cell.offset = text_.size();
            cell.length = static_cast<uint32_t>(value.Text().size());
            text_ += value.Text();
            break;
        case Value::Type::Empty:
        case Value::Type::Null: break;
    }
    cells_.push_back(cell);
}

void ParameterRows::Read(std::size_t r, std::vector<Value>& row) const {
    row.resize(columns_);
    for (std::size_t c = 0; c < columns_; ++c) {
        if (TypeAt(r, c) == Value::Type::Text)
            row[c].SetText(TextAt(r, c));
        else
            row[c] = ValueAt(r, c);
    }
}

Value ParameterRows::ValueAt(std::size_t r, std::size_t c) const {
    const Cell& cell = CellAt(r, c);
    switch (cell.type) {
        case Value::Type::Int32: return Value(static_cast<int32_t>(cell.integer));
        case Value::Type::Int64: return Value(cell.integer);
        case Value::Type::Double: return Value(cell.real);
        case Value::Type::Text: return Value(std::string(TextAt(r, c)));
        case Value::Type::Null: return Value(Null{});
        case Value::Type::Empty: break;
    }
    return Value();
}

void ParameterRows::Clear() noexcept {
    cells_.clear();
    text_.clear();
}

}  // namespace pelmar::db
