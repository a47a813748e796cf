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

std::string NullToText(const Value& value, const std::string& defaultText) {
    return value.IsNull() ? defaultText : value.ToText();
}

}  // namespace pelmar::db
