#include "core/phone_number.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

using T = PhoneType;

struct Case {
    const char* region;  // parsed for
    const char* text;
    T type;
    const char* stored;  // E.164, or the reason when invalid
    const char* own;     // the region the number counts under
};

void Check(const Case& c) {
    const ParsedPhone phone = ParsePhone(c.text, c.region);
    const std::string where = std::string(c.region) + " \"" + c.text + "\"";
    EXPECT_EQ(phone.type, c.type) << where << ": " << PhoneTypeWords(phone.type);
    EXPECT_EQ(phone.Valid() ? phone.e164 : phone.reason, c.stored) << where;
    EXPECT_EQ(phone.region, c.own) << where;
    // A valid number has no reason; an invalid one no E.164 form or code.
    EXPECT_EQ(phone.Valid() ? phone.reason : phone.e164 + CallingCodeText(phone), "") << where;
}

// Real numbers of each region's plan, written nationally and internationally.
TEST(PhoneNumber, EachSpellingOfANumberIsStoredInE164) {
    const Case cases[] = {
        {"IN", "09820012345", T::Mobile, "+919820012345", "IN"},
        {"IN", "+91 98200 12345", T::Mobile, "+919820012345", "IN"},
        {"IN", "919820012345", T::Mobile, "+919820012345", "IN"},
        {"IN", "0091 9820012345", T::Mobile, "+919820012345", "IN"},
        {"IN", "011 2345 6789", T::FixedLine, "+911123456789", "IN"},
        {"IN", "1800 12 3456", T::TollFree, "+911800123456", "IN"},
        {"GB", "07400 123456", T::Mobile, "+447400123456", "GB"},
        {"GB", "00447400123456", T::Mobile, "+447400123456", "GB"},
        {"GB", "020 7946 0958", T::FixedLine, "+442079460958", "GB"},
        {"GB", "0800 123 4567", T::TollFree, "+448001234567", "GB"},
        {"US", "(201) 555-0123", T::FixedLineOrMobile, "+12015550123", "US"},
        {"US", "+1 201-555-0123", T::FixedLineOrMobile, "+12015550123", "US"},
        {"US", "(800) 234-5678", T::TollFree, "+18002345678", "US"},
        {"DE", "01512 3456789", T::Mobile, "+4915123456789", "DE"},
        {"DE", "+49 (0)170 1234567", T::Mobile, "+491701234567", "DE"},
        {"DE", "+4901701234567", T::Mobile, "+491701234567", "DE"},  // the same, normalised
        {"DE", "030 123456", T::FixedLine, "+4930123456", "DE"},
        {"DE", "0800 1234567890", T::TollFree, "+498001234567890", "DE"},
        {"BR", "(11) 96123-4567", T::Mobile, "+5511961234567", "BR"},
        {"BR", "+55 11 96123-4567", T::Mobile, "+5511961234567", "BR"},
        {"BR", "(11) 2345-6789", T::FixedLine, "+551123456789", "BR"},
        {"BR", "0800 12 3456", T::TollFree, "+55800123456", "BR"},
        {"NG", "0802 123 4567", T::Mobile, "+2348021234567", "NG"},
        {"NG", "+234 802 123 4567", T::Mobile, "+2348021234567", "NG"},
        {"NG", "01 804 0123", T::FixedLine, "+23418040123", "NG"},
        {"NG", "0800 1759 1759", T::TollFree, "+23480017591759", "NG"},
        {"ID", "0812-345-678", T::Mobile, "+62812345678", "ID"},
        {"ID", "+62 812-345-678", T::Mobile, "+62812345678", "ID"},
        {"ID", "(021) 8350123", T::FixedLine, "+62218350123", "ID"},
        {"ID", "0800 1234567", T::TollFree, "+628001234567", "ID"},
        {"BD", "01812-345678", T::Mobile, "+8801812345678", "BD"},
        {"BD", "+880 1812-345678", T::Mobile, "+8801812345678", "BD"},
        {"BD", "02-7111234", T::FixedLine, "+88027111234", "BD"},
        {"BD", "0800-1234567", T::TollFree, "+8808001234567", "BD"},
        {"FR", "06 12 34 56 78", T::Mobile, "+33612345678", "FR"},
        {"FR", "+33 6 12 34 56 78", T::Mobile, "+33612345678", "FR"},
        {"FR", "01 23 45 67 89", T::FixedLine, "+33123456789", "FR"},
        {"FR", "0 801 23 45 67", T::TollFree, "+33801234567", "FR"},
        {"AU", "0412 345 678", T::Mobile, "+61412345678", "AU"},
        {"AU", "+61 412 345 678", T::Mobile, "+61412345678", "AU"},
        {"AU", "(02) 1234 5678", T::FixedLine, "+61212345678", "AU"},
        {"AU", "1800 123 456", T::TollFree, "+611800123456", "AU"},
        {"JP", "090-1234-5678", T::Mobile, "+819012345678", "JP"},
        {"JP", "+81 90-1234-5678", T::Mobile, "+819012345678", "JP"},
        {"JP", "03-1234-5678", T::FixedLine, "+81312345678", "JP"},
        {"JP", "0120-123-456", T::TollFree, "+81120123456", "JP"},
        {"AE", "050 123 4567", T::Mobile, "+971501234567", "AE"},
        {"AE", "+971 50 123 4567", T::Mobile, "+971501234567", "AE"},
        {"AE", "02 234 5678", T::FixedLine, "+97122345678", "AE"},
        {"AE", "800 123456", T::TollFree, "+971800123456", "AE"},
    };
    for (const Case& c : cases) Check(c);
}

// A number written internationally is its own country's, whatever region it
// is parsed for: after "+" or the international prefix of that region.
TEST(PhoneNumber, AnInternationalNumberKeepsItsOwnCountry) {
    const Case cases[] = {
        {"IN", "+44 20 7946 0958", T::FixedLine, "+442079460958", "GB"},
        {"IN", "0044 20 7946 0958", T::FixedLine, "+442079460958", "GB"},
        {"US", "011 44 7400 123456", T::Mobile, "+447400123456", "GB"},
        {"GB", "+1 416 555 0123", T::FixedLineOrMobile, "+14165550123", "CA"},  // +1 is shared: the plan tells
        {"AE", "+91 98200 12345", T::Mobile, "+919820012345", "IN"},
        {"JP", "+880 1812-345678", T::Mobile, "+8801812345678", "BD"},
    };
    for (const Case& c : cases) Check(c);
}

// What is no number names the region it was parsed for, and why.
TEST(PhoneNumber, AnInvalidNumberSaysWhyForItsRegion) {
    const Case cases[] = {
        {"IN", "98200123", T::Invalid, "not a valid number for IN", "IN"},
        {"IN", "0812", T::Invalid, "not a valid number for IN: too short", "IN"},
        {"IN", "08123456789123456", T::Invalid, "not a valid number for IN: too long", "IN"},
        {"IN", "+999 1234567", T::Invalid, "not a valid number for IN: invalid country code", "IN"},
        {"IN", "+9181234567891234", T::Invalid, "not a valid number for IN: too long", "IN"},
        {"IN", "98200 FLOWER", T::Invalid, "not a number", "IN"},
        {"IN", "9820012345a", T::Invalid, "not a number", "IN"},  // a letter typed for a digit
        {"IN", "98200z12345", T::Invalid, "not a number", "IN"},
        {"GB", "07400123", T::Invalid, "not a valid number for GB", "GB"},
        {"GB", "074001234561", T::Invalid, "not a valid number for GB: too long", "GB"},
        {"GB", "0800 FLOWERS", T::Invalid, "not a number", "GB"},
        {"GB", "07400 A23456", T::Invalid, "not a number", "GB"},
        {"GB", "07400 12345Z", T::Invalid, "not a number", "GB"},
        {"US", "2015550", T::Invalid, "not a valid number for US", "US"},
        {"US", "20155501231", T::Invalid, "not a valid number for US: too long", "US"},
        {"US", "1-800-FLOWERS", T::Invalid, "not a number", "US"},
        {"DE", "0151", T::Invalid, "not a valid number for DE", "DE"},
        {"DE", "015123456789123456", T::Invalid, "not a valid number for DE: too long", "DE"},
        {"BR", "1196", T::Invalid, "not a valid number for BR: too short", "BR"},
        {"BR", "119612345671", T::Invalid, "not a valid number for BR: too long", "BR"},
        {"NG", "0802", T::Invalid, "not a valid number for NG: too short", "NG"},
        {"NG", "08021234567123456", T::Invalid, "not a valid number for NG: too long", "NG"},
        {"ID", "0812", T::Invalid, "not a valid number for ID: too short", "ID"},
        {"ID", "0812345678123456", T::Invalid, "not a valid number for ID: too long", "ID"},
        {"BD", "0181", T::Invalid, "not a valid number for BD: too short", "BD"},
        {"BD", "018123456781", T::Invalid, "not a valid number for BD: too long", "BD"},
        {"FR", "0612345", T::Invalid, "not a valid number for FR: too short", "FR"},
        {"FR", "06123456781", T::Invalid, "not a valid number for FR: too long", "FR"},
        {"AU", "0412", T::Invalid, "not a valid number for AU: too short", "AU"},
        {"AU", "0412345678123456", T::Invalid, "not a valid number for AU: too long", "AU"},
        {"JP", "0901", T::Invalid, "not a valid number for JP: too short", "JP"},
        {"JP", "09012345678123456", T::Invalid, "not a valid number for JP", "JP"},
        {"AE", "0501", T::Invalid, "not a valid number for AE: too short", "AE"},
        {"AE", "0501234567123456", T::Invalid, "not a valid number for AE: too long", "AE"},
        {"AE", "050 CALL ME", T::Invalid, "not a number", "AE"},
        {"FR", "", T::Invalid, "missing", "FR"},
        {"FR", "+", T::Invalid, "not a number", "FR"},
    };
    for (const Case& c : cases) Check(c);
}

TEST(PhoneNumber, TheCallingCodeIsTheNumbersOwn) {
    EXPECT_EQ(CallingCodeText(ParsePhone("+44 20 7946 0958", "IN")), "+44");
    EXPECT_EQ(CallingCodeText(ParsePhone("0802 123 4567", "NG")), "+234");
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
        {"+44 20 7946 0958", "+442079460958"},
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

TEST(PhoneNumber, TheLibraryVersionIsKnown) {
    EXPECT_FALSE(PhoneLibraryVersion().empty());
    EXPECT_NE(PhoneLibraryVersion(), "unknown");
}

}  // namespace
}  // namespace pelmar
