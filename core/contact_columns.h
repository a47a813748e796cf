#pragma once
// The contacts table's column for each contact field.
#include <array>
#include <string_view>

#include "core/contact_field.h"

namespace pelmar {

struct ContactColumn {
    std::string_view name;
    // Narrow or wide text by the logging component's database type, as the
    // insert's name-like parameters are; the others are narrow text.
    bool nameLike;
};

inline constexpr std::array<ContactColumn, kContactFieldCount> kContactColumns = {{
    {"FNAME", true},        {"MNAME", true},        {"LNAME", true},     {"EMAIL", false},       {"ADDRESS", true},
    {"MOBILENO", false},    {"ORGANISATION", true}, {"SEX", false},      {"COUNTRYCODE", false}, {"AGE", false},
    {"CITY", false},        {"STATE", true},        {"COUNTRY", true},   {"ZIP", false},         {"HOMEPHONE", false},
    {"OFFICEPHONE", false}, {"FAX", false},         {"BIRTHDAY", false}, {"ANNIVERSARY", false}, {"HOBBY", false},
}};

constexpr const ContactColumn& ColumnOf(ContactField field) {
    return kContactColumns[static_cast<std::size_t>(FieldIndex(field) - 1)];
}

}  // namespace pelmar
