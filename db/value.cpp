#include "db/value.h"

#include <charconv>
#include <limits>

#include "common/error.h"
#include "common/text.h"

namespace pelmar::db {
namespace {

constexpr int32_t kInvalidUseOfNull = 94;

template <class... F>
struct Overloaded : F... {
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;

}  // namespace

std::string Value::ToText() const {
    return std::visit(Overloaded{
                          [](std::monostate) { return std::string(); },
                          [](Null) { return std::string(); },
                          [](int32_t v) { return std::to_string(v); },
                          [](int64_t v) { return std::to_string(v); },
                          [](double v) {
                              char buffer[64];
                              const auto result = std::to_chars(buffer, buffer + sizeof buffer, v);
                              return std::string(buffer, result.ptr);
                          },
                          [](const std::string& v) { return v; },
                      },
                      v_);
}

int32_t Value::ToInt32() const {
    return std::visit(Overloaded{
                          [](std::monostate) -> int32_t { return 0; },
                          [](Null) -> int32_t { throw Error(kInvalidUseOfNull, "Invalid use of Null"); },
                          [](int32_t v) { return v; },
                          [](int64_t v) -> int32_t {
                              if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
                                  throw Error(errnum::Overflow, "Overflow");
                              return static_cast<int32_t>(v);
                          },
                          [](double v) { return RoundToInt32(v); },
                          [](const std::string& v) { return pelmar::ToInt32(v); },
                      },
                      v_);
}

ValueView::ValueView(const Value& value) : type_(value.GetType()) {
    switch (type_) {
        case Value::Type::Int32: integer_ = value.ToInt32(); break;
        case Value::Type::Int64: integer_ = value.Int64(); break;
        case Value::Type::Double: real_ = value.Double(); break;
        case Value::Type::Text: text_ = *value.Text(); break;
        case Value::Type::Empty:
        case Value::Type::Null: break;
    }
}

Value ValueView::Owned() const {
    switch (type_) {
        case Value::Type::Empty: return {};
        case Value::Type::Null: return Null{};
        case Value::Type::Int32: return static_cast<int32_t>(integer_);
        case Value::Type::Int64: return integer_;
        case Value::Type::Double: return real_;
        case Value::Type::Text: return std::string(text_);
    }
    return {};
}

std::string NullToText(const Value& value, const std::string& defaultText) {
    return value.IsNull() ? defaultText : value.ToText();
}

}  // namespace pelmar::db
