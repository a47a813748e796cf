#include "core/phone_region.h"

#include <algorithm>
#include <set>
#include <unordered_map>

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include "core/normalise.h"
#include "core/phone_library.h"

namespace pelmar {
namespace {

bool AllDigits(std::string_view text) {
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    return !text.empty();
}

bool TwoAsciiLetters(std::string_view text) {
    const auto letter = [](char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); };
    return text.size() == 2 && letter(text[0]) && letter(text[1]);
}

std::string Folded(std::string_view text) {
    std::string folded;
    icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())))
        .foldCase()
        .toUTF8String(folded);
    return folded;
}

// Every region with a numbering plan, by its English name case-folded. Built
// once, on first use, from ICU's names.
const std::unordered_map<std::string, std::string>& RegionsByName() {
    static const auto names = [] {
        std::set<std::string> regions;
        PhoneUtil().GetSupportedRegions(&regions);
        std::unordered_map<std::string, std::string> byName;
        for (const std::string& region : regions) {
            icu::UnicodeString name;
            icu::Locale("", region.c_str()).getDisplayCountry(icu::Locale::getEnglish(), name);
            std::string text;
            name.foldCase().toUTF8String(text);
            if (!text.empty() && text != Folded(region)) byName.emplace(std::move(text), region);
        }
        return byName;
    }();
    return names;
}

RegionLookup Found(std::string region) { return {std::move(region), {}}; }
RegionLookup NotFound(std::string reason) { return {{}, std::move(reason)}; }

RegionLookup TwoLetters(std::string_view text) {
    std::string region(text);
    for (char& c : region)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (PhoneUtil().GetCountryCodeForRegion(region) == 0) return NotFound("not a region with a numbering plan");
    return Found(std::move(region));
}

RegionLookup CallingCode(std::string_view digits) {
    if (digits.size() > 3) return NotFound("not a country calling code");
    std::string region;
    PhoneUtil().GetRegionCodeForCountryCode(std::stoi(std::string(digits)), &region);
    // Non-geographic codes (+800, +882) have a plan but no region to parse for.
    if (region == "ZZ" || region == "001") return NotFound("not a country calling code");
    return Found(std::move(region));
}

}  // namespace

RegionLookup ResolveRegion(std::string_view text) {
    const std::string trimmed = TrimValue(text);
    std::string_view value = trimmed;
    if (value.empty()) return NotFound("no region");
    if (TwoAsciiLetters(value)) return TwoLetters(value);
    if (value.starts_with('+'))
        value.remove_prefix(1);
    else if (value.starts_with("00"))
        value.remove_prefix(2);
    if (AllDigits(value)) return CallingCode(value);
    const auto& names = RegionsByName();
    const auto found = names.find(Folded(trimmed));
    if (found == names.end()) return NotFound("not a region, calling code or country name");
    return Found(found->second);
}

std::vector<std::pair<std::string, std::string>> RegionNames() {
    std::set<std::string> regions;
    PhoneUtil().GetSupportedRegions(&regions);
    std::vector<std::pair<std::string, std::string>> names;
    for (const std::string& region : regions) {
        icu::UnicodeString name;
        icu::Locale("", region.c_str()).getDisplayCountry(icu::Locale::getEnglish(), name);
        std::string text;
        name.toUTF8String(text);
        names.emplace_back(region, text);
    }
    std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    return names;
}

RegionLookup RecordRegion(std::string_view countryCode, std::string_view defaultRegion) {
    if (TrimValue(countryCode).empty()) return {std::string(defaultRegion), {}};
    return ResolveRegion(countryCode);
}

}  // namespace pelmar
