#pragma once
// The region a contact's CountryCode value names, for parsing its numbers: a
// two-letter region ("IN", "gb"), a calling code ("91", "+91", "0091": the
// code's main region) or a country's English name as ICU writes it ("India",
// "united kingdom").
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelmar {

struct RegionLookup {
    std::string region;  // "IN"; empty when the text names none
    std::string reason;  // why it names none

    explicit operator bool() const noexcept { return !region.empty(); }
};

// The region `text` names, blanks at its ends aside, among those
// libphonenumber has a numbering plan for.
RegionLookup ResolveRegion(std::string_view text);

// The region a record's numbers are parsed for: its CountryCode value's when
// it has one, else `defaultRegion`. Empty with no reason: the record has no
// region and its numbers stay as read.
RegionLookup RecordRegion(std::string_view countryCode, std::string_view defaultRegion);

// Every region with a numbering plan and its English name, in the names'
// order: what a list of regions offers.
std::vector<std::pair<std::string, std::string>> RegionNames();

}  // namespace pelmar
