#include "common/text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/error.h"
#include "testing/thrown.h"

namespace pelmar {
namespace {

using test::ErrorNumberOf;

TEST(TextTest, TrimRemovesSpacesOnlyAtBothEnds) {
    const struct {
        std::string in, out;
    } cases[] = {{"  a b  ", "a b"}, {"", ""}, {"   ", ""}, {"\ta\t", "\ta\t"}, {" \tx ", "\tx"}};
    for (const auto& c : cases) EXPECT_EQ(Trim(c.in), c.out) << '"' << c.in << '"';
}

TEST(TextTest, CharacterRoutinesCountCharactersNotBytes) {
    const std::string text = "Zoë Łódź";  // 8 characters, 12 bytes
    EXPECT_EQ(CharCount(text), 8u);
    const std::pair<std::string, std::string> cut[] = {
        {Left(text, 3), "Zoë"}, {Right(text, 4), "Łódź"}, {Mid(text, 3, 3), "ë Ł"}, {Mid(text, 5), "Łódź"},
        {Mid(text, 20, 2), ""}, {Left(text, 50), text},   {Right(text, 50), text}};
    for (const auto& [got, expected] : cut) EXPECT_EQ(got, expected);
    EXPECT_EQ(InStr(text, "ó"), 6u);
    EXPECT_EQ(InStr(text, "x"), 0u);
    EXPECT_EQ(InStr("", "a"), 0u);
    // A stray byte is one character and does not swallow its neighbours.
    EXPECT_EQ(CharCount("a\xC3\x62"), 3u);
    EXPECT_EQ(Mid("a\xC3\x62", 3, 1), "b");
    EXPECT_EQ(ErrorNumberOf([] { Mid("abc", 0, 1); }), errnum::InvalidProcedureCall);
}

TEST(TextTest, UpperCaseCoversLatinGreekAndCyrillicAndReplaceAllEveryOccurrence) {
    EXPECT_EQ(UpperCase("mysql"), "MYSQL");
    EXPECT_EQ(UpperCase("zoë łódź straße"), "ZOË ŁÓDŹ STRAßE");
    EXPECT_EQ(UpperCase("αβγ ς"), "ΑΒΓ Σ");
    EXPECT_EQ(UpperCase("привет ё"), "ПРИВЕТ Ё");
    EXPECT_EQ(UpperCase("1-2 ÷"), "1-2 ÷");
    EXPECT_EQ(ReplaceAll("O'Neil's", "'", "''"), "O''Neil''s");
    EXPECT_EQ(ReplaceAll("aaa", "aa", "b"), "ba");
    EXPECT_EQ(ReplaceAll("abc", "", "x"), "abc");
}

TEST(TextTest, LeadingNumberReadsTheNumberAtTheStart) {
    const struct {
        std::string in;
        double out;
    } cases[] = {
        {"24", 24},      {"24 years", 24}, {" -1.5e2x", -150},   {"1e3", 1000},
        {"n/a", 0},      {"", 0},          {".5", 0.5},          {"1.2.3", 1.2},
        {"1e", 1},       {"2E+2", 200},    {"3e-1z", 0.3},       {"+7", 7},
        {"-", 0},        {"1,5", 1},       {"  12abc", 12},      {"0091", 91},
        {"-.25", -0.25}, {"1 2", 12},      {"-\t2 .5 e1x", -25},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(LeadingNumber(c.in), c.out) << '"' << c.in << '"';
    EXPECT_EQ(ErrorNumberOf([] { LeadingNumber("1e999"); }), errnum::Overflow);
    EXPECT_DOUBLE_EQ(LeadingNumber("1e-999"), 0);
}

TEST(TextTest, IsNumericAcceptsOnlyWholeNumbers) {
    const struct {
        std::string in;
        bool numeric;
    } cases[] = {
        {"12", true},
        {" 12 ", true},
        {"-3", true},
        {"+3", true},
        {"1.5", true},
        {"1,5", true},
        {"12.", true},
        {".5", true},
        {"1e3", true},
        {"1E-3", true},
        {"", false},
        {" ", false},
        {"+91 98100", false},
        {"1e", false},
        {"1.2.3", false},
        {"-", false},
        {".", false},
        {"12a", false},
        {"1e999", false},
        {"--1", false},
        // A double holds numbers of up to 309 digits.
        {std::string(308, '9'), true},
        {std::string(309, '9'), false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsNumeric(c.in), c.numeric) << '"' << c.in << '"';
}

TEST(TextTest, EveryKindOfLineBreakIsFoldedOrMadeALineFeed) {
    const struct {
        const char *in, *folded, *lineFeeds;
    } cases[] = {
        {"", "", ""},
        {"plain text", "plain text", "plain text"},
        {"a\r\nb c", "a b c", "a\nb c"},
        {"a\rb\nc", "a b c", "a\nb\nc"},
        {"\r\r\n\n", "   ", "\n\n\n"},
        {"a\n\rb\r", "a  b ", "a\n\nb\n"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FoldLineBreaks(c.in), c.folded) << c.in;
        EXPECT_EQ(NormaliseLineBreaks(c.in), c.lineFeeds) << c.in;
    }
}

TEST(TextTest, IsDateChecksFormsAndCalendar) {
    const struct {
        std::string in;
        bool date;
    } cases[] = {
        {"29/02/2000", true},   {"29/02/2001", false},  {"31/02/2001", false}, {"", false},
        {"1/2/2001", true},     {"31-12-1999", true},   {"31.12.1999", true},  {"2001-02-28", true},
        {"2001/2/29", false},   {"2001.12.31", true},   {"12/31/2001", true},  {"02/31/2001", false},
        {"13/13/2001", false},  {"29/02/1900", false},  {"05/06/01", true},    {" 05/06/2001 ", true},
        {"5 Jan 2001", true},   {"5-jan-2001", true},   {"Jan 5, 2001", true}, {"January 5 2001", true},
        {"31 APR 2001", false}, {"5 Jam 2001", false},  {"05/06-2001", false}, {"2001", false},
        {"abc", false},         {"05/06/2001x", false}, {"0/1/2001", false},   {"1/2/3", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsDate(c.in), c.date) << '"' << c.in << '"';
}

TEST(TextTest, RoundToInt32GoesHalfToEven) {
    const std::pair<double, int32_t> cases[] = {{24.5, 24}, {25.5, 26}, {-2.5, -2},  {-3.5, -4},
                                                {0.5, 0},   {1.5, 2},   {2.4999, 2}, {-0.6, -1}};
    EXPECT_EQ(RoundToInt32(-2147483648.4), INT32_MIN);
    EXPECT_EQ(RoundToInt32(2147483647.4), INT32_MAX);
    for (const auto& [in, out] : cases) EXPECT_EQ(RoundToInt32(in), out) << in;
}

TEST(TextTest, StrictConversionsOverflowOutOfRangeAndRejectNonNumbers) {
    EXPECT_EQ(ErrorNumberOf([] { RoundToInt32(2147483647.5); }), errnum::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { RoundToInt32(-2147483648.6); }), errnum::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { RoundToInt32(NAN); }), errnum::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { ToInt16("32768"); }), errnum::Overflow);
    EXPECT_EQ(ErrorNumberOf([] { CheckedInt16(-32769); }), errnum::Overflow);
    EXPECT_EQ(CheckedInt16(32767), 32767);
    EXPECT_EQ(ToInt32(" 42 "), 42);
    EXPECT_EQ(ToInt32("2.5"), 2);
    EXPECT_EQ(ToInt16("-32768"), -32768);
    EXPECT_DOUBLE_EQ(ToDouble("1,5"), 1.5);
    EXPECT_EQ(ErrorNumberOf([] { ToInt32("24 years"); }), errnum::TypeMismatch);
    EXPECT_EQ(ErrorNumberOf([] { ToInt32(""); }), errnum::TypeMismatch);
}

}  // namespace
}  // namespace pelmar
