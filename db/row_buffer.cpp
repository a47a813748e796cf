#include "db/row_buffer.h"

#include <algorithm>
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

// A count in seven bits a byte, the high bit saying that more follow.
void PutCount(std::string& bytes, uint64_t count) {
    for (; count >= 0x80; count >>= 7) bytes += static_cast<char>((count & 0x7F) | 0x80);
    bytes += static_cast<char>(count);
}

uint64_t TakeCount(const char*& at) {
    uint64_t count = 0;
    for (int shift = 0;; shift += 7) {
        const auto byte = static_cast<unsigned char>(*at++);
        count |= static_cast<uint64_t>(byte & 0x7F) << shift;
        if (byte < 0x80) return count;
    }
}

constexpr std::size_t kMaxCountBytes = 10;

std::size_t PackedSize(const std::vector<Value>& row) {
    std::size_t size = kMaxCountBytes;
    for (const Value& value : row) {
        size += 1;
        switch (value.GetType()) {
            case Value::Type::Empty:
            case Value::Type::Null: break;
            case Value::Type::Int32: size += sizeof(int32_t); break;
            case Value::Type::Int64: size += sizeof(int64_t); break;
            case Value::Type::Double: size += sizeof(double); break;
            case Value::Type::Text: size += kMaxCountBytes + value.Text()->size(); break;
        }
    }
    return size;
}

}  // namespace

void RowBuffer::Append(const std::vector<Value>& row) {
    const std::size_t most = PackedSize(row);
    if (blocks_.empty() || blocks_.back().capacity() - blocks_.back().size() < most) {
        blocks_.emplace_back().reserve(std::max(kBlockSize, most));
    }
    std::string& bytes = blocks_.back();
    starts_.push_back({static_cast<uint32_t>(blocks_.size() - 1), static_cast<uint32_t>(bytes.size())});
    PutCount(bytes, row.size());
    for (const Value& value : row) {
        const Value::Type type = value.GetType();
        bytes += static_cast<char>(type);
        switch (type) {
            case Value::Type::Empty:
            case Value::Type::Null: break;
            case Value::Type::Int32: Put<int32_t>(bytes, value.ToInt32()); break;
            case Value::Type::Int64: Put<int64_t>(bytes, value.Int64()); break;
            case Value::Type::Double: Put<double>(bytes, value.Double()); break;
            case Value::Type::Text: {
                const std::string& text = *value.Text();
                PutCount(bytes, text.size());
                bytes += text;
                break;
            }
        }
    }
}

void RowBuffer::Read(std::size_t index, std::vector<Value>& row) const {
    const Start start = starts_[index];
    const char* at = blocks_[start.block].data() + start.offset;
    row.resize(TakeCount(at));
    for (Value& value : row) {
        switch (static_cast<Value::Type>(*at++)) {
            case Value::Type::Empty: value = Value(); break;
            case Value::Type::Null: value = Null{}; break;
            case Value::Type::Int32: value = Take<int32_t>(at); break;
            case Value::Type::Int64: value = Take<int64_t>(at); break;
            case Value::Type::Double: value = Take<double>(at); break;
            case Value::Type::Text: {
                const auto size = TakeCount(at);
                value.SetText(std::string_view(at, size));
                at += size;
                break;
            }
        }
    }
}

}  // namespace pelmar::db::detail
