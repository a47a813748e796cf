#pragma once
// A database value: empty, Null, 32-bit or 64-bit integer, double or text.
#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace pelmar::db {

struct Null {
    bool operator==(const Null&) const = default;
};

class Value {
public:
    enum class Type { Empty, Null, Int32, Int64, Double, Text };

    Value() = default;  // empty
    Value(Null) : v_(Null{}) {}
    Value(int32_t v) : v_(v) {}
    Value(int64_t v) : v_(v) {}
    Value(double v) : v_(v) {}
    Value(std::string v) : v_(std::move(v)) {}
    Value(const char* v) : v_(std::string(v)) {}

    Type GetType() const noexcept { return static_cast<Type>(v_.index()); }
    bool IsEmpty() const noexcept { return GetType() == Type::Empty; }
    bool IsNull() const noexcept { return GetType() == Type::Null; }

    // Makes this a Text value holding `text`, reusing the room a Text value
    // had: a value set again for every row allocates only when it grows.
    void SetText(std::string_view text) {
        if (auto* held = std::get_if<std::string>(&v_))
            held->assign(text);
        else
            v_.emplace<std::string>(text);
    }

    // What an Int64 or a Double value holds (for code that keeps values by
    // type); std::bad_variant_access for another type.
    int64_t Int64() const { return std::get<int64_t>(v_); }
    double Double() const { return std::get<double>(v_); }

    // The text a Text value holds, without a copy; null for any other type.
    const std::string* Text() const noexcept { return std::get_if<std::string>(&v_); }

    // The default conversion to text: "" for empty and Null, decimal digits
    // for integers, the shortest round-trip form for doubles.
    std::string ToText() const;
    // Integer conversion: text is read strictly (pelmar::ToInt32), doubles are
    // rounded half to even. Throws pelmar::Error (Overflow, TypeMismatch;
    // InvalidUseOfNull for Null).
    int32_t ToInt32() const;

    bool operator==(const Value&) const = default;

private:
    std::variant<std::monostate, Null, int32_t, int64_t, double, std::string> v_;
};

// `defaultText` for a database Null, else the value as text ("" when empty).
std::string NullToText(const Value& value, const std::string& defaultText);

}  // namespace pelmar::db
