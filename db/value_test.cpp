#include "db/value.h"

#include <gtest/gtest.h>

#include "common/error.h"

namespace pelmar::db {
namespace {

TEST(ValueTest, ConvertsToText) {
    struct Case {
        Value value;
        const char* text;
    } cases[] = {
        {Value(), ""},
        {Value(Null{}), ""},
        {Value(int32_t{-42}), "-42"},
        {Value(int64_t{5000000000}), "5000000000"},
        {Value(0.1), "0.1"},
        {Value(2.5), "2.5"},
        {Value(3.0), "3"},
        {Value("Zoë"), "Zoë"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value.ToText(), c.text);
}

TEST(ValueTest, ConvertsToInt32RoundingHalfToEven) {
    struct Case {
        Value value;
        int32_t expected;
    } cases[] = {
        {Value(), 0},
        {Value(int32_t{7}), 7},
        {Value(int64_t{-2147483648LL}), INT32_MIN},
        {Value(2.5), 2},
        {Value(3.5), 4},
        {Value("12"), 12},
        {Value(" 12 "), 12},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value.ToInt32(), c.expected) << c.value.ToText();
}

TEST(ValueTest, RejectsValuesWithoutAnInt32) {
    struct Case {
        Value value;
        int32_t number;
    } cases[] = {
        {Value(Null{}), 94},
        {Value(int64_t{2147483648LL}), errnum::Overflow},
        {Value(3e10), errnum::Overflow},
        {Value("abc"), errnum::TypeMismatch},
        {Value(""), errnum::TypeMismatch},
    };
    for (const auto& c : cases) {
        try {
            c.value.ToInt32();
            ADD_FAILURE() << "no error for " << c.value.ToText();
        } catch (const pelmar::Error& e) {
            EXPECT_EQ(e.Number(), c.number) << c.value.ToText();
        }
    }
}

}  // namespace
}  // namespace pelmar::db
