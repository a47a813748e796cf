#pragma once
// The destination field list: "<ignore>" followed by the 20 contact fields.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelmar {

inline constexpr std::array<std::string_view, 21> DestinationFieldList = {
    "<ignore>", "FirstName", "MiddleName", "LastName",  "Email",      "Address",     "MobileNumber",
    "Organisation", "Sex",  "CountryCode", "Age",       "City",       "State",       "Country",
    "Zip",      "HomePhone", "OfficePhone", "Fax",      "Birthday",   "Anniversary", "Hobby",
};

// Index 1 to 20 of the field named exactly `name` (case-sensitive, untrimmed),
// -1 for anything else, "<ignore>" and "" included. Never 0.
int16_t GetFieldIndex(std::string_view name);

// The field name of the first ColumnMap entry whose position is `position`,
// "" when none.
std::string GetMappedField(int16_t position);

}  // namespace pelmar
