#pragma once
// Mapping a CSV file's columns onto the contact fields by their header
// names, as the address books and mail clients people export from name
// them. A header is compared by its key: letters and digits only, in lower
// case ("E-mail 1 - Value" is "email1value").
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/contact_field.h"

namespace pelmar {

std::string HeaderKey(std::string_view name);

// The field a header names, and how specifically: rank 0 names the field
// itself ("Mobile Phone"), higher ranks only something that may hold it ("Phone",
// a full "Name" for FirstName). Nothing for a header no synonym matches.
struct HeaderField {
    ContactField field;
    int rank;
};
std::optional<HeaderField> FieldForHeader(std::string_view name);

struct HeaderMatch {
    int32_t column;  // 0-based
    ContactField field;
};

struct HeaderMapping {
    std::vector<HeaderMatch> matches;  // in column order
    std::vector<int32_t> unmapped;     // the columns no field took
};

// Each field takes the column of lowest rank that names it, the first of
// equals: so a mobile column wins over a generic phone column, and a full
// name goes to FirstName only when no column is a first name.
HeaderMapping MapByHeader(const std::vector<std::string>& header);

// The first column whose header has the key of `name`; nothing when none.
std::optional<int32_t> FindHeaderColumn(const std::vector<std::string>& header, std::string_view name);

}  // namespace pelmar
