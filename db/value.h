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

// A value lent for one call: its text is read where the caller keeps it, not
// copied. What a caller that holds a row's values elsewhere (a record's
// members) hands to Command, which binds the text from there. It must not
// outlive what it views.
class ValueView {
public:
    ValueView() = default;  // empty
    ValueView(Null) : type_(Value::Type::Null) {}
    ValueView(int32_t v) : type_(Value::Type::Int32), integer_(v) {}
    ValueView(int64_t v) : type_(Value::Type::Int64), integer_(v) {}
    ValueView(double v) : type_(Value::Type::Double), real_(v) {}
    ValueView(std::string_view text) : type_(Value::Type::Text), text_(text) {}
    ValueView(const Value& value);

    Value::Type GetType() const noexcept { return type_; }
    bool IsEmpty() const noexcept { return type_ == Value::Type::Empty; }
    bool IsNull() const noexcept { return type_ == Value::Type::Null; }
    // The text of a Text value; empty for any other type.
    std::string_view Text() const noexcept { return text_; }
    // What an Int32 or Int64 value holds, and a Double's.
    int64_t Integer() const noexcept { return integer_; }
    double Double() const noexcept { return real_; }

    // The value's own copy, and through it Value's conversions.
    Value Owned() const;
    std::string ToText() const { return Owned().ToText(); }
    int32_t ToInt32() const { return type_ == Value::Type::Int32 ? static_cast<int32_t>(integer_) : Owned().ToInt32(); }

private:
    Value::Type type_ = Value::Type::Empty;
    union {
        int64_t integer_ = 0;
        double real_;
    };
    std::string_view text_;
};

// `defaultText` for a database Null, else the value as text ("" when empty).
std::string NullToText(const Value& value, const std::string& defaultText);

}  // namespace pelmar::db
