#include "db/utf16.h"

#include <gtest/gtest.h>

namespace pelmar::db::detail {
namespace {

TEST(Utf16Test, RoundTripsEveryPlane) {
    for (const std::string text : {"", "plain", "Zoë Łukasz", "東京", "emoji 😀 end", "\x7f\xc2\x80"})
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text) << text;
    EXPECT_EQ(Utf8ToUtf16("😀"), u"\xD83D\xDE00");
}

TEST(Utf16Test, ReplacesInvalidInputInsteadOfFailing) {
    struct Case {
        std::string utf8;
        std::u16string utf16;
    } cases[] = {
        {"a\xff\x62", u"a\xFFFD\x62"},
        {"\xc3", u"\xFFFD"},                      // cut short
        {"\xc0\xaf", u"\xFFFD\xFFFD"},            // overlong
        {"\xed\xa0\x80", u"\xFFFD\xFFFD\xFFFD"},  // a surrogate in UTF-8
    };
    for (const auto& c : cases) EXPECT_EQ(Utf8ToUtf16(c.utf8), c.utf16);
    EXPECT_EQ(Utf16ToUtf8(u"x\xD800y"), "x\xef\xbf\xbdy");  // a lone surrogate
}

}  // namespace
}  // namespace pelmar::db::detail
