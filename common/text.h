#pragma once
// Text conversions the import and export rely on. All text is UTF-8; where a
// routine counts characters it counts Unicode characters, never bytes.
// Conversions that can fail throw pelmar::Error (errnum::Overflow,
// errnum::TypeMismatch).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace pelmar {

// Removes leading and trailing blanks (the space character only; tabs stay).
std::string Trim(std::string_view text);

// Number of Unicode characters in UTF-8 text (an invalid byte counts as one).
std::size_t CharCount(std::string_view text);
// The first / last `count` characters, and `count` characters from the
// 1-based character position `start` (to the end when count is npos).
std::string Left(std::string_view text, std::size_t count);
std::string Right(std::string_view text, std::size_t count);
std::string Mid(std::string_view text, std::size_t start, std::size_t count = std::string_view::npos);
// The bytes the first `count` characters of text take (all of it when shorter).
std::size_t ByteLengthOfChars(std::string_view text, std::size_t count);
// 1-based character position of the first `needle` in text, 0 when absent.
std::size_t InStr(std::string_view text, std::string_view needle);

// Appends the UTF-8 bytes of a code point (at most U+10FFFF).
void AppendUtf8(char32_t cp, std::string& out);
// The code point of the first character (U+FFFD for a byte that starts no
// well-formed character; 0 for empty text).
char32_t FirstCodePoint(std::string_view text);

// Upper-cases letters (ASCII and the Latin, Greek and Cyrillic letters with a
// simple one-to-one upper case); other characters stay.
std::string UpperCase(std::string_view text);
// Replaces every occurrence of `from` by `to`.
std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to);
// ASCII letters compared without regard to case; other bytes exactly.
bool EqualsNoCase(std::string_view a, std::string_view b);

// One line of text: every CR LF, CR and LF becomes one blank.
std::string FoldLineBreaks(std::string_view text);
// Every CR LF and lone CR becomes LF, as a terminal shows line breaks.
std::string NormaliseLineBreaks(std::string_view text);

// The leading number of a text: blanks are skipped wherever they are ("1 2"
// is 12), then an optional sign, digits, at most one ".", and an optional
// exponent (e or E, optional sign, digits) are read up to the first other
// character. Independent of the locale. 0 when the text does not begin with
// a number.
double LeadingNumber(std::string_view text);

// True when the whole text is a number: digits, optionally with surrounding
// blanks, a leading sign, a decimal separator ("." or ",") and an exponent.
// Empty text is not numeric.
bool IsNumeric(std::string_view text);
// The value of a numeric text (IsNumeric); a "," counts as the decimal
// separator. Throws TypeMismatch for text that is not a number and Overflow
// for a value beyond the double range.
double ToDouble(std::string_view text);

// True when the text is a calendar date in one of these forms (blanks around
// it allowed; day and month may have one or two digits; a two-digit year
// means 1930-2029):
//   yyyy-mm-dd   yyyy/mm/dd   yyyy.mm.dd
//   dd/mm/yyyy   dd-mm-yyyy   dd.mm.yyyy   (day first, as the user's locale
//                                          writes it; when the day cannot be a
//                                          day but the month can, month first)
//   dd mon yyyy  dd-mon-yyyy  mon dd, yyyy  mon dd yyyy  (mon: English month
//                                          names, full or three letters, any case)
// The calendar is checked: 31/02/2001 and 29/02/2001 are not dates.
// Empty text is not a date.
bool IsDate(std::string_view text);

// Rounds to the nearest integer, a half going to the even neighbour;
// throws Overflow outside the 32-bit signed range.
int32_t RoundToInt32(double value);

// Text to integer the strict way: the text must be a number (IsNumeric);
// it is rounded half to even. Throws TypeMismatch for text that is not a
// number and Overflow for a value outside the type's range.
int16_t ToInt16(std::string_view text);
int32_t ToInt32(std::string_view text);
// Narrowing with the overflow check of the 16-bit position counters.
int16_t CheckedInt16(int64_t value);

}  // namespace pelmar
