#include "db/value.h"

#include <gtest/gtest.h>

#include "common/error.h"
#include "testing/thrown.h"

namespace pelmar::db {
namespace {

// Each value's text, and its integer or the error number its conversion raises.
TEST(ValueTest, ConvertsToTextAndToInt32RoundingHalfToEven) {
    const struct {
        Value value;
        const char* text;
        int32_t integer;
        int32_t error;  // 0: converts to `integer`
    } cases[] = {
        {Value(), "", 0, 0},
        {Value(Null{}), "", 0, 94},
        {Value(int32_t{-42}), "-42", -42, 0},
        {Value(int64_t{-2147483648LL}), "-2147483648", INT32_MIN, 0},
        {Value(int64_t{2147483647}), "2147483647", INT32_MAX, 0},
        {Value(int64_t{5000000000}), "5000000000", 0, errnum::Overflow},
        {Value(0.1), "0.1", 0, 0},
        {Value(2.5), "2.5", 2, 0},
        {Value(3.5), "3.5", 4, 0},
        {Value(3.0), "3", 3, 0},
        {Value(2147483647.5), "2147483647.5", 0, errnum::Overflow},
        {Value(" 12 "), " 12 ", 12, 0},
        {Value("Zoë"), "Zoë", 0, errnum::TypeMismatch},
        {Value(""), "", 0, errnum::TypeMismatch},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.value.ToText(), c.text);
        EXPECT_EQ(test::ErrorNumberOf([&] { EXPECT_EQ(c.value.ToInt32(), c.integer); }), c.error);
        // A view of the value converts alike and gives the same value back.
        const ValueView view(c.value);
        EXPECT_EQ(view.Owned(), c.value);
        EXPECT_EQ(test::ErrorNumberOf([&] { EXPECT_EQ(view.ToInt32(), c.integer); }), c.error);
    }
}

}  // namespace
}  // namespace pelmar::db
