#pragma once
// What a run found in its mobile numbers, for the report: how many of each
// type, and how many of each region (a valid number under its own region, an
// invalid one under the region it was parsed for).
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "core/phone_number.h"

namespace pelmar {

class JsonWriter;

// The report's kinds of number: libphonenumber's rarer types are "other".
enum class PhoneKind { Mobile, FixedLine, FixedLineOrMobile, TollFree, Voip, Other, Invalid };
inline constexpr std::size_t kPhoneKindCount = 7;

PhoneKind KindOf(PhoneType type);

// "mobile", "fixed_line", "fixed_line_or_mobile", "toll_free", "voip",
// "other", "invalid".
std::string_view PhoneKindKey(PhoneKind kind);

class PhoneCounts {
public:
    void Count(const ParsedPhone& phone);

    int32_t Of(PhoneKind kind) const { return kinds_[static_cast<std::size_t>(kind)]; }
    const std::map<std::string, int32_t>& Regions() const noexcept { return regions_; }

private:
    std::array<int32_t, kPhoneKindCount> kinds_{};
    std::map<std::string, int32_t> regions_;
};

// The value of the report's "numbers" member: {"types": {every kind, in the
// order above}, "regions": {"IN": N, ...}}, regions in their codes' order.
void WritePhoneCounts(JsonWriter& json, const PhoneCounts& counts);

// "numbers: 9412 mobile, 37 fixed line (rejected), 12 invalid (rejected)":
// mobile always, the other kinds when there were any, marked where the run
// rejects them (invalid always; with `mobileOnly` every kind but mobile and
// fixed line or mobile).
std::string PhoneCountsLine(const PhoneCounts& counts, bool mobileOnly);

}  // namespace pelmar
