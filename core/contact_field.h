#pragma once
// The twenty contact fields of the address book, in the order the column
// mapping lists them. Inside the component a field is this enumeration; its
// name appears only where the mapping shows or stores it.
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace pelmar {

enum class ContactField : int8_t {
    FirstName = 1,
    MiddleName,
    LastName,
    Email,
    Address,
    MobileNumber,
    Organisation,
    Sex,
    CountryCode,
    Age,
    City,
    State,
    Country,
    Zip,
    HomePhone,
    OfficePhone,
    Fax,
    Birthday,
    Anniversary,
    Hobby,
};

inline constexpr int kContactFieldCount = 20;

// Every field in order, FirstName first.
inline constexpr std::array<ContactField, kContactFieldCount> kContactFields = [] {
    std::array<ContactField, kContactFieldCount> fields{};
    for (int i = 0; i < kContactFieldCount; ++i) fields[i] = static_cast<ContactField>(i + 1);
    return fields;
}();

// 1 for FirstName .. 20 for Hobby: the field's index in the mapping's list.
constexpr int FieldIndex(ContactField field) { return static_cast<int>(field); }

inline constexpr std::array<std::string_view, kContactFieldCount> kContactFieldNames = {
    "FirstName", "MiddleName",  "LastName", "Email",    "Address",     "MobileNumber", "Organisation",
    "Sex",       "CountryCode", "Age",      "City",     "State",       "Country",      "Zip",
    "HomePhone", "OfficePhone", "Fax",      "Birthday", "Anniversary", "Hobby",
};

// "FirstName" .. "Hobby".
constexpr std::string_view FieldName(ContactField field) {
    return kContactFieldNames[static_cast<std::size_t>(FieldIndex(field) - 1)];
}

// The field whose name is exactly `name` (case-sensitive, untrimmed).
std::optional<ContactField> FieldNamed(std::string_view name);

}  // namespace pelmar
