#include "core/xlsx_values.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace pelmar::xlsx {
namespace {

constexpr double kMillisecondsPerDay = 86400000.0;
constexpr double kLastSerial1900 = 2958465;  // 9999-12-31

bool IsHex(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The UTF-16 unit of the escape at `at` ("_xHHHH_"), if one is there.
std::optional<char16_t> EscapeAt(std::string_view text, std::size_t at) {
    if (text.size() - at < 7 || text[at] != '_' || text[at + 1] != 'x' || text[at + 6] != '_') return std::nullopt;
    unsigned value = 0;
    for (std::size_t i = at + 2; i < at + 6; ++i) {
        if (!IsHex(text[i])) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(text[i]))
                                                       ? text[i] - '0'
                                                       : (text[i] | 0x20) - 'a' + 10);
    }
    return static_cast<char16_t>(value);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
    return true;
}

}  // namespace

std::string NumberText(double value) {
    if (value == 0) return "0";  // and not "-0"
    char buffer[400];            // the longest fixed text of a double below 10^15 is ~330 characters
    const auto result = std::fabs(value) < 1e15
                            ? std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed)
                            : std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string NumberCellText(std::string_view stored) {
    const std::size_t first = stored.find_first_not_of(' ');
    const std::size_t last = stored.find_last_not_of(' ');
    const std::string_view number =
        first == std::string_view::npos ? std::string_view() : stored.substr(first, last - first + 1);
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (number.empty() || error != std::errc() || end != number.data() + number.size() || !std::isfinite(value))
        return std::string(stored);
    return NumberText(value);
}

std::optional<std::string> SerialDateText(double serial, bool date1904) {
    using namespace std::chrono;
    const double last = date1904 ? kLastSerial1900 - 1462 : kLastSerial1900;
    if (!std::isfinite(serial) || serial < 0 || serial >= last + 1) return std::nullopt;
    // Rounded to the millisecond as the sheet shows it, so that 23:59:59.9999
    // is the next day there as here.
    const double day = std::floor(std::round(serial * kMillisecondsPerDay) / kMillisecondsPerDay);
    if (day > last) return std::nullopt;
    const auto count = static_cast<int>(day);
    sys_days date;
    if (date1904) {
        date = sys_days(year{1904} / January / 1) + days(count);
    } else {
        // Day 1 is 1900-01-01; day 60 is the 29 February 1900 the 1900
        // system counts although it never was; day 0 is no day at all.
        if (count == 0 || count == 60) return std::nullopt;
        date = sys_days(year{1899} / December / (count < 60 ? 31 : 30)) + days(count);
    }
    const year_month_day ymd(date);
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                  static_cast<unsigned>(ymd.day()));
    return std::string(text);
}

bool IsBuiltInDateFormat(int id) {
    switch (id) {
        case 14:
        case 15:
        case 16:
        case 17:
        case 22:  // m/d/yyyy .. mmm-yy, m/d/yyyy h:mm
        case 27:
        case 28:
        case 29:
        case 30:
        case 31:
        case 36:  // East Asian dates
        case 50:
        case 51:
        case 54:
        case 57:
        case 58: return true;
        default: return false;  // 18-21 and 45-47 are times and durations
    }
}

namespace {

// The position of the character that closes a part skipped whole (a quoted
// text, a [...] part) opened at `i`: the end of the code when it is missing.
std::size_t PartEnd(std::string_view code, std::size_t i, char close) {
    const std::size_t end = code.find(close, i + 1);
    return end == std::string_view::npos ? code.size() : end;
}

// [h], [mm], [ss]: elapsed time, a duration.
bool IsElapsedTime(std::string_view inside) {
    return !inside.empty() && inside.find_first_not_of("hHmMsS") == std::string_view::npos;
}

// y, d, g, and e as the era's year unless it is an exponent (0.0E+0).
bool IsDateLetter(char c, std::string_view rest) {
    return c == 'y' || c == 'd' || c == 'g' || (c == 'e' && (rest.size() < 2 || (rest[1] != '+' && rest[1] != '-')));
}

}  // namespace

bool IsDateFormatCode(std::string_view code) {
    bool date = false, time = false, month = false;
    for (std::size_t i = 0; i < code.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(code[i])));
        const std::string_view rest = code.substr(i);
        if (c == '"') {
            i = PartEnd(code, i, '"');
        } else if (c == '\\' || c == '_' || c == '*') {
            ++i;  // an escaped character, or the width or fill of the next one
        } else if (c == '[') {
            const std::size_t close = PartEnd(code, i, ']');
            if (close < code.size() && IsElapsedTime(code.substr(i + 1, close - i - 1))) time = true;
            i = close;
        } else if (StartsWithNoCase(rest, "general")) {
            i += 6;
        } else if (StartsWithNoCase(rest, "am/pm")) {
            i += 4;
        } else if (StartsWithNoCase(rest, "a/p")) {
            i += 2;
        } else if (IsDateLetter(c, rest)) {
            date = true;
        } else if (c == 'h' || c == 's') {
            time = true;
        } else if (c == 'm') {
            month = true;
        }
    }
    // m alone is the month; beside hours or seconds it is the minutes.
    return date || (month && !time);
}

std::string DecodeEscapes(std::string_view text) {
    if (text.find('_') == std::string_view::npos) return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::optional<char16_t> unit = EscapeAt(text, i);
        if (!unit) {
            out += text[i++];
            continue;
        }
        i += 7;
        char32_t c = *unit;
        if (c >= 0xD800 && c < 0xDC00) {
            const std::optional<char16_t> low = EscapeAt(text, i);
            if (low && *low >= 0xDC00 && *low < 0xE000) {
                c = 0x10000 + ((c - 0xD800) << 10) + (*low - 0xDC00);
                i += 7;
            } else {
                c = 0xFFFD;
            }
        } else if (c >= 0xDC00 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::string EncodeEscapes(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (EscapeAt(text, i)) out += "_x005F";
        out += text[i];
    }
    return out;
}

std::size_t CountChars(std::string_view text) {
    std::size_t count = 0;
    for (const char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

}  // namespace pelmar::xlsx
