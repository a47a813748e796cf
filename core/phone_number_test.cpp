#include "core/phone_number.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

using T = PhoneType;

// Each spelling of a number, its type, and the region it counts under: its own country's when
// written internationally, else the one parsed for, which an invalid number's reason names.
// (The regions' numbering plans themselves are the library's.)
TEST(PhoneNumber, EachSpellingIsStoredInE164OrSaysWhyNot) {
    const struct {
        const char* region;  // parsed for
        const char* text;
        T type;
        const char* stored;  // E.164, or the reason when invalid
        const char* own;     // the region the number counts under
    } cases[] = {
        {"IN", "09820012345", T::Mobile, "+919820012345", "IN"},
        {"IN", "+91 98200 12345", T::Mobile, "+919820012345", "IN"},
        {"IN", "011 2345 6789", T::FixedLine, "+911123456789", "IN"},
        {"IN", "1800 12 3456", T::TollFree, "+911800123456", "IN"},
        {"US", "(201) 555-0123", T::FixedLineOrMobile, "+12015550123", "US"},
        {"DE", "+49 (0)170 1234567", T::Mobile, "+491701234567", "DE"},
        {"IN", "+44 20 7946 0958", T::FixedLine, "+442079460958", "GB"},
        {"GB", "+1 416 555 0123", T::FixedLineOrMobile, "+14165550123", "CA"},  // +1 is shared: the plan tells
        {"IN", "98200123", T::Invalid, "not a valid number for IN", "IN"},
        {"IN", "0812", T::Invalid, "not a valid number for IN: too short", "IN"},
        {"IN", "08123456789123456", T::Invalid, "not a valid number for IN: too long", "IN"},
        {"IN", "+999 1234567", T::Invalid, "not a valid number for IN: invalid country code", "IN"},
        {"IN", "+9181234567891234", T::Invalid, "not a valid number for IN: too long", "IN"},
        {"IN", "98200 FLOWER", T::Invalid, "not a number", "IN"},
        {"IN", "98200z12345", T::Invalid, "not a number", "IN"},  // a letter typed for a digit
        {"IN", "9820012345a", T::Invalid, "not a number", "IN"},
        {"GB", "07400 12345Z", T::Invalid, "not a number", "GB"},
        {"JP", "09012345678123456", T::Invalid, "not a valid number for JP", "JP"},
        {"FR", "", T::Invalid, "missing", "FR"},
        {"FR", "+", T::Invalid, "not a number", "FR"},
    };
    for (const auto& c : cases) {
        const ParsedPhone phone = ParsePhone(c.text, c.region);
        const std::string where = std::string(c.region) + " \"" + c.text + "\"";
        EXPECT_EQ(phone.type, c.type) << where << ": " << PhoneTypeWords(phone.type);
        EXPECT_EQ(phone.Valid() ? phone.e164 : phone.reason, c.stored) << where;
        EXPECT_EQ(phone.region, c.own) << where;
        // A valid number has no reason; an invalid one no E.164 form or code.
        EXPECT_EQ(phone.Valid() ? phone.reason : phone.e164 + CallingCodeText(phone), "") << where;
    }
}

TEST(PhoneNumber, OnlyMobilesAndWhatCannotBeToldFromThemAreMobiles) {
    const std::pair<const char*, std::optional<std::string>> cases[] = {
        {"+91 98200 12345", std::nullopt},
        {"+1 201-555-0123", std::nullopt},
        {"+44 20 7946 0958", "not a mobile number: fixed line"},
        {"+44 800 123 4567", "not a mobile number: toll free"},
        {"+44 909 876 5432", "not a mobile number: premium rate"},
        {"+44 56 1234 5678", "not a mobile number: voip"},
        {"+44 70 1234 5678", "not a mobile number: personal number"},
        {"98200123", std::nullopt},  // invalid: rejected for that, not for its type
    };
    for (const auto& [text, reason] : cases) EXPECT_EQ(NotMobileReason(ParsePhone(text, "IN")), reason) << text;
}

TEST(PhoneNumber, OtherNumbersAreFormattedWhenValidAndKeptWhenNot) {
    const std::pair<const char*, const char*> cases[] = {
        {"011 2345 6789", "+911123456789"},
        {"98200123", "98200123"},
        {"1-800-FLOWERS", "1-800-FLOWERS"},
        {"", ""},
    };
    for (const auto& [text, formatted] : cases) EXPECT_EQ(FormatOtherPhone(text, "IN"), formatted) << text;
}

TEST(PhoneNumber, TheExportFormatsValidNumbersAndWritesOthersAsStored) {
    using F = PhoneFormat;
    const struct {
        const char* stored;
        const char* region;
        F format;
        const char* written;
    } cases[] = {
        {"09820012345", "IN", F::E164, "+919820012345"},
        {"+919820012345", "", F::International, "+91 98200 12345"},
        {"+919820012345", "IN", F::National, "098200 12345"},
        {"+442079460958", "IN", F::National, "+44 20 7946 0958"},  // not the region's: international
        {"09820012345", "", F::E164, "09820012345"},               // national, and no region to read it
        {"98200123", "IN", F::International, "98200123"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FormatPhone(c.stored, c.region, c.format), c.written) << c.stored << " " << c.region;
}

}  // namespace
}  // namespace pelmar
