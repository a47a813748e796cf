#pragma once
// Phone numbers checked against the numbering plans of libphonenumber: a
// mobile number parsed for a region into its E.164 form, its type and its own
// region, or the reason it is no number; the other numbers of a contact put
// in E.164 where they are valid; and numbers formatted for an export.
// libphonenumber's types stay inside the .cpp files.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelmar {

// libphonenumber's number types, and Invalid for a number that is none.
enum class PhoneType {
    Mobile,
    FixedLine,
    FixedLineOrMobile,  // where the plan cannot tell them apart (the US, Canada)
    TollFree,
    PremiumRate,
    SharedCost,
    Voip,
    PersonalNumber,
    Pager,
    Uan,
    Voicemail,
    Invalid,
};

// A number as parsed for a region.
struct ParsedPhone {
    PhoneType type = PhoneType::Invalid;
    std::string e164;         // "+919820012345"; empty when invalid
    std::string region;       // the number's own region when valid, else the one it was parsed for
    int32_t callingCode = 0;  // 91; 0 when invalid
    std::string reason;       // why it is invalid: "not a valid number for IN: too short"

    bool Valid() const noexcept { return type != PhoneType::Invalid; }
};

// `text` parsed for `region` (two upper-case letters, as ResolveRegion
// gives it). A number written internationally ("+44 ...", or after the
// region's international prefix: "0044 ..." for IN) keeps its own country.
// Empty text is "missing" and text with a letter (1-800-FLOWERS) "not a
// number", whatever libphonenumber would make of it; an invalid number is
// "not a valid number for IN", with ": too short", ": too long", ": invalid
// length" or ": invalid country code" when libphonenumber says why.
ParsedPhone ParsePhone(std::string_view text, std::string_view region);

// The calling code with its plus ("+91"), for the COUNTRYCODE column.
std::string CallingCodeText(const ParsedPhone& phone);

// Why `phone` is no mobile number to send to ("not a mobile number: fixed
// line"), or nothing for a mobile, or a type the plan cannot tell from one.
std::optional<std::string> NotMobileReason(const ParsedPhone& phone);

// The type in the words of a reason or a summary: "fixed line",
// "fixed line or mobile", "toll free", "premium rate", ... "invalid".
std::string_view PhoneTypeWords(PhoneType type);

enum class PhoneFormat {
    E164,           // +919820012345
    International,  // +91 98200 12345
    National,       // 098200 12345 for a number of the region; international for others
};

// `text` as `format` when it is a valid number for `region` (empty: only
// numbers written with "+" parse); as given when it is not.
std::string FormatPhone(std::string_view text, std::string_view region, PhoneFormat format);

// The home, office and fax numbers on import: E.164 when valid, as given
// when not.
inline std::string FormatOtherPhone(std::string_view text, std::string_view region) {
    return FormatPhone(text, region, PhoneFormat::E164);
}

// The libphonenumber package this was built with ("8.12.57+ds-3").
std::string_view PhoneLibraryVersion();

}  // namespace pelmar
