#pragma once
// vCard values both ways: quoted-printable and its character sets, the
// backslash escapes, structured values split at their semicolons, dates, and
// the escaping and line folding a writer needs.
#include <string>
#include <string_view>
#include <vector>

#include "core/vcard_lines.h"

namespace pelmar {

// The property's value as UTF-8 text, still escaped: a quoted-printable value
// decoded and its bytes read in its CHARSET (ISO-8859-1 and Windows-1252 as
// Windows-1252; UTF-8, the default, read as the source files are when it is
// not valid UTF-8). Any other value is text already.
std::string DecodedValue(const VcardProperty& property);

// The escapes undone: \\ \, \; \: and \n or \N (a line feed); any other
// backslash stays as it is.
std::string UnescapeText(std::string_view text);
// The components of a structured value (N, ADR, ORG, GENDER), split at the
// semicolons that are not escaped, each unescaped. At least one.
std::vector<std::string> Components(std::string_view text);

// A date value as an ISO date: yyyy-mm-dd, yyyymmdd, --mmdd and --mm-dd, with
// or without a time after them, as yyyy-mm-dd or --mm-dd; any other text as
// it is, without blanks around it. A date in `omittedYear` (an address book's
// stand-in for "no year") loses its year.
std::string IsoDateOf(std::string_view value, std::string_view omittedYear = {});

// Escaped for a text value: backslash, comma and semicolon, and every line
// break (CR LF, CR or LF) as \n.
std::string EscapeText(std::string_view text);

// Appends one content line ended by CR LF, folded so that no line is longer
// than 75 octets: each continuation begins with a blank, and no UTF-8
// character is split.
void AppendFolded(std::string_view line, std::string& out);

}  // namespace pelmar
