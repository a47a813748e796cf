#pragma once
// Writing contacts as vCards: one card per contact of the twenty fields, in
// UTF-8 with CR LF line ends, lines folded at 75 octets and values escaped.
// vCard 4.0 by default; 3.0 for older address books, with X-GENDER and
// X-ANNIVERSARY for the two properties it lacks. The fields vCard has no
// property for go in X-PELMAR-COUNTRYCODE, X-PELMAR-AGE and X-PELMAR-HOBBY,
// so that the reader gives every field back.
#include <span>
#include <string>
#include <string_view>

namespace pelmar {

enum class VcardVersion { V4_0, V3_0 };

// "4.0" or "3.0".
std::string_view VersionText(VcardVersion version);

// The card of one contact: `fields` are its twenty field texts in field order
// (FirstName .. Hobby), as the export reads them; an empty one writes no
// property. Throws errnum::InvalidProcedureCall for any other number of fields.
std::string VcardOf(std::span<const std::string> fields, VcardVersion version);

}  // namespace pelmar
