#include "core/xlsx_values.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

namespace pelmar::xlsx {
namespace {

TEST(XlsxValues, NumbersComeBackAsTheShortestTextWithoutAnExponentBelowTenToTheFifteen) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"9820012345", "9820012345"},     // a mobile stored as a number
        {"9.820012345E9", "9820012345"},  // the same number written with an exponent
        {"0", "0"},
        {"-0", "0"},
        {"42.0", "42"},
        {"0.1", "0.1"},
        {"0.30000000000000004", "0.30000000000000004"},
        {"1.5E-3", "0.0015"},
        {"-12.25", "-12.25"},
        {"999999999999999", "999999999999999"},  // just below 10^15: still digits
        {"1E15", "1e+15"},                       // from 10^15 on, the shortest text of all
        {"1234567890123456", "1234567890123456"},
        {" 7 ", "7"},
        {"#N/A", "#N/A"},  // no number: as it stands
        {"", ""},
    };
    for (const auto& [stored, text] : cases) EXPECT_EQ(NumberCellText(stored), text) << stored;
}

TEST(XlsxValues, EveryNumberTextReadsBackAsTheSameDouble) {
    std::mt19937_64 random(20);
    std::uniform_int_distribution<uint64_t> bits;
    for (int i = 0; i < 20000; ++i) {
        double value = 0;
        const uint64_t pattern = bits(random);
        std::memcpy(&value, &pattern, sizeof value);
        if (!std::isfinite(value)) continue;
        const std::string text = NumberText(value);
        EXPECT_EQ(std::strtod(text.c_str(), nullptr), value == 0 ? 0.0 : value) << text;
        if (std::fabs(value) < 1e15) {
            EXPECT_EQ(text.find_first_of("eE"), std::string::npos) << text;
        }
    }
}

TEST(XlsxValues, SerialDaysAreIsoDatesInBothSystemsWithTheirTimeDropped) {
    struct Case {
        double serial;
        bool date1904;
        std::optional<std::string> date;
    };
    const Case cases[] = {
        {1, false, "1900-01-01"},
        {59, false, "1900-02-28"},
        {60, false, std::nullopt},  // 1900-02-29, which the 1900 system counts and no calendar has
        {61, false, "1900-03-01"},
        {43831, false, "2020-01-01"},
        {43831.75, false, "2020-01-01"},         // 18:00 dropped
        {43831.999999999, false, "2020-01-02"},  // shown as midnight of the next day
        {2958465, false, "9999-12-31"},
        {2958466, false, std::nullopt},
        {0, false, std::nullopt},
        {-1, false, std::nullopt},
        {0, true, "1904-01-01"},
        {43831, true, "2024-01-02"},
        {2957003, true, "9999-12-31"},
        {2957004, true, std::nullopt},
        {std::numeric_limits<double>::infinity(), false, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SerialDateText(c.serial, c.date1904), c.date) << c.serial << " " << c.date1904;
}

TEST(XlsxValues, DateFormatsAreTellingDaysMonthsAndYearsFromTimesAndNumbers) {
    const std::pair<std::string_view, bool> codes[] = {
        {"yyyy-mm-dd", true},
        {"dd/mm/yyyy;@", true},
        {"[$-409]mmmm d, yyyy", true},
        {"mm", true},             // a month alone
        {"YYYY-MM-DD", true},     // letters of either case
        {"m/d/yyyy h:mm", true},  // date and time: a date
        {"[$-404]e/m/d", true},   // the era's year
        {"h:mm:ss", false},
        {"mm:ss", false},      // minutes beside seconds
        {"[h]:mm:ss", false},  // a duration
        {"[mm]:ss", false},
        {"h:mm AM/PM", false},
        {"General", false},
        {"0.00E+00", false},
        {"0 \"days\"", false},       // quoted text
        {"0\\d", false},             // an escaped character
        {"[Red]0;[Blue]-0", false},  // colours
        {"[<=9999999]###-####;(###) ###-####", false},
        {"@", false},
    };
    for (const auto& [code, date] : codes) EXPECT_EQ(IsDateFormatCode(code), date) << code;

    for (int id = 0; id < 200; ++id) {
        const bool date = (id >= 14 && id <= 17) || id == 22 || (id >= 27 && id <= 31) || id == 36 || id == 50 ||
                          id == 51 || id == 54 || id == 57 || id == 58;
        EXPECT_EQ(IsBuiltInDateFormat(id), date) << id;
    }
}

TEST(XlsxValues, EscapesDecodeToTheirCharactersAndLeaveEverythingElse) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"Line_x000D_Break", "Line\rBreak"},
        {"_x0041__x0062_", "Ab"},
        {"_x005F_x0041_", "_x0041_"},      // an escaped underscore keeps a literal escape
        {"_xD83D__xDE00_", "\U0001F600"},  // a surrogate pair
        {"_xD83D_x", "\uFFFDx"},           // a lone surrogate
        {"_x00e9_", "\u00E9"},
        {"_x00Aa_", "\u00AA"},
        {"_x12_", "_x12_"},
        {"_xZZZZ_", "_xZZZZ_"},
        {"a_b", "a_b"},
        {"_x0041", "_x0041"},
        {"_X0041_", "_X0041_"},  // the x of an escape is small
    };
    for (const auto& [text, decoded] : cases) {
        EXPECT_EQ(DecodeEscapes(text), decoded) << text;
        EXPECT_EQ(DecodeEscapes(EncodeEscapes(text)), text) << text;
    }
    EXPECT_EQ(EncodeEscapes("a_x0041_b_x12_"), "a_x005F_x0041_b_x12_");
    EXPECT_EQ(CountChars("a\u00E9\u4E2D\U0001F600"), 4u);
}

}  // namespace
}  // namespace pelmar::xlsx
