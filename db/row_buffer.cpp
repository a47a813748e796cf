#include "db/row_buffer.h"

#include <cstring>

namespace pelmar::db::detail {
namespace {

template <typename T>
void Put(std::string& bytes, T value) {
    bytes.append(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
T Take(const char*& at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    at += sizeof value;
    return value;
}

}  // namespace

void RowBuffer::Append(const std::vector<Value>& row) {
    starts_.push_back(bytes_.size());
    Put<uint32_t>(bytes_, static_cast<uint32_t>(row.size()));
    for (const Value& value : row) {
        const Value::Type type = value.GetType();
        bytes_ += static_cast<char>(type);
        switch (type) {
            case Value::Type::Empty:
            case Value::Type::Null: break;
            case Value::Type::Int32: Put<int32_t>(bytes_, value.ToInt32()); break;
            case Value::Type::Int64: Put<int64_t>(bytes_, value.Int64()); break;
            case Value::Type::Double: Put<double>(bytes_, value.Double()); break;
            case Value::Type::Text: {
                const std::string& text = *value.Text();
                Put<uint64_t>(bytes_, text.size());
                bytes_ += text;
                break;
            }
        }
    }
}

void RowBuffer::Read(std::size_t index, std::vector<Value>& row) const {
    const char* at = bytes_.data() + starts_[index];
    row.resize(Take<uint32_t>(at));
    for (Value& value : row) {
        switch (static_cast<Value::Type>(*at++)) {
            case Value::Type::Empty: value = Value(); break;
            case Value::Type::Null: value = Null{}; break;
            case Value::Type::Int32: value = Take<int32_t>(at); break;
            case Value::Type::Int64: value = Take<int64_t>(at); break;
            case Value::Type::Double: value = Take<double>(at); break;
            case Value::Type::Text: {
                const auto size = Take<uint64_t>(at);
                value.SetText(std::string_view(at, size));
                at += size;
                break;
            }
        }
    }
}

}  // namespace pelmar::db::detail
