#include "core/normalise.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

// Letters stay, for the numeric rule to refuse.
TEST(Normalise, PhoneNumbersLoseTheirPunctuation) {
    const std::pair<const char*, const char*> cases[] = {
        {"555-0123", "5550123"},      {"+1 555 3227 8544", "+155532278544"}, {"(02) 9876 5432", "0298765432"},
        {"98.10/01\t23", "98100123"}, {"+91-98100 ext 2", "+9198100ext2"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(NormalisePhone(in), out) << in;
}

TEST(Normalise, GenderWordsBecomeMOrF) {
    const std::pair<const char*, const char*> cases[] = {
        {"m", "M"},     {"Male", "M"},       {"MAN", "M"}, {" f ", "F"},       {"female", "F"},
        {"Woman", "F"}, {"Unspecified", ""}, {"x", "X"},   {"other", "OTHER"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(NormaliseGender(in), out) << in;
}

TEST(Normalise, DatesInTheirWrittenFormsBecomeIsoDates) {
    using O = DateOrder;
    const struct {
        const char* text;
        O order;
        std::optional<std::string> date;
    } cases[] = {
        {"1975-12-12", O::DayMonthYear, "1975-12-12"},
        {"1975/2/3", O::MonthDayYear, "1975-02-03"},
        {"20/01/1991", O::DayMonthYear, "1991-01-20"},
        {"01/20/1991", O::MonthDayYear, "1991-01-20"},
        {"1991.01.20", O::DayMonthYear, "1991-01-20"},
        {"91-01-20", O::YearMonthDay, "1991-01-20"},
        {"3.4.29", O::DayMonthYear, "2029-04-03"},
        {"12 Apr 1990", O::DayMonthYear, "1990-04-12"},
        {"12-apr-1990", O::MonthDayYear, "1990-04-12"},
        {"April 12, 1990", O::DayMonthYear, "1990-04-12"},
        {"12th September 1990", O::DayMonthYear, "1990-09-12"},
        {"12 Apr", O::DayMonthYear, "--04-12"},
        {"--02-29", O::DayMonthYear, "--02-29"},
        {"29/02/2000", O::DayMonthYear, "2000-02-29"},
        {"29/02/2001", O::DayMonthYear, std::nullopt},
        {"01/20/1991", O::DayMonthYear, std::nullopt},
        {"12/04", O::DayMonthYear, std::nullopt},
        {"1990-04-12 10:00", O::DayMonthYear, std::nullopt},
        {"soon", O::DayMonthYear, std::nullopt},
        {"", O::DayMonthYear, std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(NormaliseDate(c.text, c.order), c.date) << c.text;
}

TEST(Normalise, TheFirstOfSeveralAddressesIsKept) {
    EXPECT_EQ(FirstEmail("a@x.org ::: b@y.org"), "a@x.org");
    EXPECT_EQ(FirstEmail("; a@x.org, b@y.org"), "a@x.org");
    EXPECT_EQ(FirstEmail(""), "");
}

}  // namespace
}  // namespace pelmar
