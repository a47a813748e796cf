#pragma once
// A cell's value as the text the import reads: numbers as the shortest
// decimal that reads back as the same double, serial dates as ISO dates,
// and the workbook's escapes of characters XML cannot hold.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace pelmar::xlsx {

// The shortest text that reads back as `value`, with no exponent below
// 10^15 (9820012345 is "9820012345", 0.1 is "0.1"); larger numbers as
// the shortest text of all.
std::string NumberText(double value);

// A number cell's stored text as NumberText writes it; text that is no
// number stays as it is.
std::string NumberCellText(std::string_view stored);

// The ISO date (yyyy-mm-dd) of serial day `serial`, its time of day
// dropped, counting from 1900 (with its 29 February that never was) or from
// 1904; nothing for a serial outside 0001-01-01 .. 9999-12-31.
std::optional<std::string> SerialDateText(double serial, bool date1904);

// Whether number format `id` is one of the built-in date formats. Time-only
// and duration formats are not dates: those cells keep their number.
bool IsBuiltInDateFormat(int id);
// Whether a custom number format shows a date: it has a day, a month or a
// year outside quoted text, escapes and brackets.
bool IsDateFormatCode(std::string_view code);

// `text` with each _xHHHH_ escape replaced by its character (and _x005F_
// by the underscore that keeps a literal "_x" from being read so).
std::string DecodeEscapes(std::string_view text);

// `text` as a workbook stores it, so that DecodeEscapes gives it back: each
// literal "_xHHHH_" has its underscore escaped.
std::string EncodeEscapes(std::string_view text);

// Characters (code points) of UTF-8 text.
std::size_t CountChars(std::string_view text);

}  // namespace pelmar::xlsx
