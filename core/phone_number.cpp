#include "core/phone_number.h"

#include <array>

#include "core/phone_library.h"

namespace pelmar {
namespace {

using i18n::phonenumbers::PhoneNumber;
using Util = i18n::phonenumbers::PhoneNumberUtil;

constexpr std::string_view kUnknownRegion = "ZZ";

bool HasLetter(std::string_view text) {
    for (const char c : text)
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) return true;
    return false;
}

PhoneType TypeOf(Util::PhoneNumberType type) {
    switch (type) {
        case Util::MOBILE: return PhoneType::Mobile;
        case Util::FIXED_LINE: return PhoneType::FixedLine;
        case Util::FIXED_LINE_OR_MOBILE: return PhoneType::FixedLineOrMobile;
        case Util::TOLL_FREE: return PhoneType::TollFree;
        case Util::PREMIUM_RATE: return PhoneType::PremiumRate;
        case Util::SHARED_COST: return PhoneType::SharedCost;
        case Util::VOIP: return PhoneType::Voip;
        case Util::PERSONAL_NUMBER: return PhoneType::PersonalNumber;
        case Util::PAGER: return PhoneType::Pager;
        case Util::UAN: return PhoneType::Uan;
        case Util::VOICEMAIL: return PhoneType::Voicemail;
        case Util::UNKNOWN: break;
    }
    return PhoneType::Invalid;
}

// libphonenumber's word on why a number that parsed is not possible.
std::string_view WhyNotPossible(Util::ValidationResult result) {
    switch (result) {
        case Util::TOO_SHORT: return ": too short";
        case Util::TOO_LONG: return ": too long";
        case Util::INVALID_LENGTH: return ": invalid length";
        case Util::INVALID_COUNTRY_CODE: return ": invalid country code";
        case Util::IS_POSSIBLE:
        case Util::IS_POSSIBLE_LOCAL_ONLY: break;
    }
    return "";
}

// ... and on why the text did not parse.
std::string_view WhyNotParsed(Util::ErrorType error) {
    switch (error) {
        case Util::TOO_SHORT_AFTER_IDD:
        case Util::TOO_SHORT_NSN: return ": too short";
        case Util::TOO_LONG_NSN: return ": too long";
        case Util::INVALID_COUNTRY_CODE_ERROR: return ": invalid country code";
        case Util::NOT_A_NUMBER:
        case Util::NO_PARSING_ERROR: break;
    }
    return "";
}

std::string NotValidFor(std::string_view region, std::string_view why) {
    return "not a valid number for " + std::string(region) + std::string(why);
}

// The parsed number of `text` when it is a valid one for `region`.
std::optional<PhoneNumber> ValidNumber(std::string_view text, std::string_view region) {
    if (text.empty() || HasLetter(text)) return std::nullopt;
    PhoneNumber number;
    const std::string from(region.empty() ? kUnknownRegion : region);
    if (PhoneUtil().Parse(std::string(text), from, &number) != Util::NO_PARSING_ERROR ||
        !PhoneUtil().IsValidNumber(number))
        return std::nullopt;
    return number;
}

}  // namespace

const Util& PhoneUtil() {
    static const Util& util = *Util::GetInstance();
    return util;
}

ParsedPhone ParsePhone(std::string_view text, std::string_view region) {
    ParsedPhone phone;
    phone.region = region;
    if (text.empty()) {
        phone.reason = "missing";
        return phone;
    }
    // libphonenumber reads letters as the digits of a keypad; a contact's
    // number with letters is a typing mistake more often than a vanity number.
    if (HasLetter(text)) {
        phone.reason = "not a number";
        return phone;
    }
    const Util& util = PhoneUtil();
    PhoneNumber number;
    const Util::ErrorType error = util.Parse(std::string(text), phone.region, &number);
    if (error == Util::NOT_A_NUMBER) {
        phone.reason = "not a number";
        return phone;
    }
    if (error != Util::NO_PARSING_ERROR) {
        phone.reason = NotValidFor(region, WhyNotParsed(error));
        return phone;
    }
    // The type says UNKNOWN for an invalid number: no separate validity check.
    phone.type = TypeOf(util.GetNumberType(number));
    if (!phone.Valid()) {
        phone.reason = NotValidFor(region, WhyNotPossible(util.IsPossibleNumberWithReason(number)));
        return phone;
    }
    util.Format(number, Util::E164, &phone.e164);
    util.GetRegionCodeForNumber(number, &phone.region);
    phone.callingCode = number.country_code();
    return phone;
}

std::string CallingCodeText(const ParsedPhone& phone) {
    return phone.Valid() ? "+" + std::to_string(phone.callingCode) : std::string();
}

std::optional<std::string> NotMobileReason(const ParsedPhone& phone) {
    if (!phone.Valid() || phone.type == PhoneType::Mobile || phone.type == PhoneType::FixedLineOrMobile)
        return std::nullopt;
    return "not a mobile number: " + std::string(PhoneTypeWords(phone.type));
}

std::string_view PhoneTypeWords(PhoneType type) {
    static constexpr std::array<std::string_view, 12> kWords = {"mobile",    "fixed line",      "fixed line or mobile",
                                                                "toll free", "premium rate",    "shared cost",
                                                                "voip",      "personal number", "pager",
                                                                "uan",       "voicemail",       "invalid"};
    return kWords[static_cast<std::size_t>(type)];
}

std::string FormatPhone(std::string_view text, std::string_view region, PhoneFormat format) {
    const auto number = ValidNumber(text, region);
    if (!number) return std::string(text);
    const Util& util = PhoneUtil();
    std::string formatted;
    if (format == PhoneFormat::E164) {
        util.Format(*number, Util::E164, &formatted);
    } else if (format == PhoneFormat::International) {
        util.Format(*number, Util::INTERNATIONAL, &formatted);
    } else {
        // Written nationally only where the region is the number's own.
        std::string own;
        util.GetRegionCodeForNumber(*number, &own);
        util.Format(*number, own == region ? Util::NATIONAL : Util::INTERNATIONAL, &formatted);
    }
    return formatted;
}

std::string_view PhoneLibraryVersion() { return PELMAR_PHONENUMBER_VERSION; }

}  // namespace pelmar
