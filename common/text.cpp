#include "common/text.h"

#include <locale.h>
#include <algorithm>
#include <cerrno>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <limits>
#include <optional>
#include <vector>

#include "common/error.h"

namespace pelmar {
namespace {

// ---- UTF-8 walking -------------------------------------------------------

// Length in bytes of the character starting at byte `i`; a byte that does
// not start a complete, well-formed sequence is a character of its own.
std::size_t CharLength(std::string_view text, std::size_t i) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 1;
    if ((lead >> 5) == 0x6)
        length = 2;
    else if ((lead >> 4) == 0xE)
        length = 3;
    else if ((lead >> 3) == 0x1E)
        length = 4;
    if (length == 1 || i + length > text.size()) return 1;
    for (std::size_t k = 1; k < length; ++k)
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return 1;
    return length;
}

// Byte offset after skipping `count` characters from the start.
std::size_t SkipChars(std::string_view text, std::size_t count) {
    std::size_t i = 0;
    while (count > 0 && i < text.size()) {
        i += CharLength(text, i);
        --count;
    }
    return i;
}

char32_t Decode(std::string_view text, std::size_t i, std::size_t length) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    switch (length) {
        case 2: return (char32_t(byte(0) & 0x1F) << 6) | (byte(1) & 0x3F);
        case 3: return (char32_t(byte(0) & 0x0F) << 12) | (char32_t(byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
        case 4:
            return (char32_t(byte(0) & 0x07) << 18) | (char32_t(byte(1) & 0x3F) << 12) |
                   (char32_t(byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
        default: return byte(0);
    }
}

// A flat table of the Latin, Greek and Cyrillic ranges, clearer as it
// stands than split up.
char32_t Upper(char32_t c) {  // NOLINT(readability-function-cognitive-complexity)
    const bool odd = (c & 1) != 0;
    if (c >= U'a' && c <= U'z') return c - 32;
    if (c < 0xE0) return c;
    if (c <= 0xFE) return c == 0xF7 ? c : c - 32;
    if (c == 0xFF) return 0x178;
    if (c == 0x131) return U'I';
    if (c == 0x17F) return U'S';
    if (c >= 0x100 && c <= 0x137) return odd ? c - 1 : c;
    if (c >= 0x139 && c <= 0x148) return odd ? c : c - 1;
    if (c >= 0x14A && c <= 0x177) return odd ? c - 1 : c;
    if (c >= 0x179 && c <= 0x17E) return odd ? c : c - 1;
    if (c == 0x3AC) return 0x386;
    if (c >= 0x3AD && c <= 0x3AF) return c - 37;
    if (c == 0x3C2) return 0x3A3;
    if (c >= 0x3B1 && c <= 0x3CB) return c - 32;
    if (c == 0x3CC) return 0x38C;
    if (c == 0x3CD || c == 0x3CE) return c - 63;
    if (c >= 0x430 && c <= 0x44F) return c - 32;
    if (c >= 0x450 && c <= 0x45F) return c - 80;
    if ((c >= 0x460 && c <= 0x481) || (c >= 0x48A && c <= 0x4BF) || (c >= 0x4D0 && c <= 0x52F)) return odd ? c - 1 : c;
    if (c >= 0x4C1 && c <= 0x4CE) return odd ? c : c - 1;
    if (c == 0x4CF) return 0x4C0;
    return c;
}

// ---- numbers ---------------------------------------------------------------

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// strtod in the "C" locale, so that "." is the decimal point whatever the
// process locale says. Throws Overflow beyond the double range.
double ParseC(const std::string& number) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    errno = 0;
    const double value = strtod_l(number.c_str(), nullptr, cLocale);
    if (errno == ERANGE && std::isinf(value)) throw Error(errnum::Overflow, "Overflow");
    return value;
}

// The number at text[i...] in the "digits[.digits][e[sign]digits]" shape,
// sign allowed in front; `decimals` lists the accepted separators. Returns the
// end of the number (i when there is none) and its text in C form.
std::size_t ScanNumber(std::string_view text, std::size_t i, std::string_view decimals, std::string& cForm) {
    const std::size_t start = i;
    cForm.clear();
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) cForm += text[i++];
    std::size_t digits = 0;
    while (i < text.size() && IsDigit(text[i])) cForm += text[i++], ++digits;
    if (i < text.size() && decimals.find(text[i]) != std::string_view::npos) {
        ++i;
        cForm += '.';
        while (i < text.size() && IsDigit(text[i])) cForm += text[i++], ++digits;
    }
    if (digits == 0) {
        cForm.clear();
        return start;
    }
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) exponent += text[j++];
        if (j < text.size() && IsDigit(text[j])) {
            while (j < text.size() && IsDigit(text[j])) exponent += text[j++];
            cForm += exponent;
            i = j;
        }
    }
    return i;
}

// The C form of a whole-text number, or nothing when the text is not one.
std::optional<std::string> NumericForm(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    std::string cForm;
    const std::size_t end = ScanNumber(text, i, ".,", cForm);
    if (end == i) return std::nullopt;
    // An "e" that did not start a complete exponent is left behind and fails here.
    i = end;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i != text.size()) return std::nullopt;
    return cForm;
}

// ---- dates -----------------------------------------------------------------

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

bool IsCalendarDate(int year, int month, int day) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1) return false;
    const int last = (month == 2 && IsLeapYear(year)) ? 29 : kDays[month - 1];
    return day <= last;
}

enum class TokenKind { Number, Word, Space, Comma, Dash, Slash, Dot };
struct Token {
    TokenKind kind;
    std::string text;
};

std::optional<std::vector<Token>> Tokenize(std::string_view text) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        const auto run = [&](auto&& belongs, TokenKind kind) {
            std::size_t j = i;
            while (j < text.size() && belongs(text[j])) ++j;
            tokens.push_back({kind, std::string(text.substr(i, j - i))});
            i = j;
        };
        const auto isLetter = [](char ch) { return (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z'); };
        if (IsDigit(c))
            run(IsDigit, TokenKind::Number);
        else if (isLetter(c))
            run(isLetter, TokenKind::Word);
        else if (IsBlank(c))
            run(IsBlank, TokenKind::Space);
        else if (c == ',')
            tokens.push_back({TokenKind::Comma, ","}), ++i;
        else if (c == '-')
            tokens.push_back({TokenKind::Dash, "-"}), ++i;
        else if (c == '/')
            tokens.push_back({TokenKind::Slash, "/"}), ++i;
        else if (c == '.')
            tokens.push_back({TokenKind::Dot, "."}), ++i;
        else
            return std::nullopt;
    }
    return tokens;
}

// A year as written after day and month: four digits, or two (1930-2029).
int YearOf(const std::string& digits) {
    if (digits.size() == 4) return std::stoi(digits);
    if (digits.size() == 2) {
        const int year = std::stoi(digits);
        return year < 30 ? 2000 + year : 1900 + year;
    }
    return -1;
}

// A day or month number of one or two digits; -1 otherwise.
int SmallNumber(const std::string& digits) { return digits.size() <= 2 ? std::stoi(digits) : -1; }

int MonthOf(const std::string& word) {
    static constexpr const char* kMonths[] = {"january", "february", "march",     "april",   "may",      "june",
                                              "july",    "august",   "september", "october", "november", "december"};
    std::string lower;
    for (char c : word) lower += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
    for (int m = 0; m < 12; ++m) {
        const std::string_view name = kMonths[m];
        if (lower == name || lower == name.substr(0, 3)) return m + 1;
    }
    return -1;
}

bool Matches(const std::vector<Token>& tokens, std::initializer_list<TokenKind> shape) {
    if (tokens.size() != shape.size()) return false;
    std::size_t k = 0;
    for (TokenKind kind : shape)
        if (tokens[k++].kind != kind) return false;
    return true;
}

bool IsNumericDate(const std::vector<Token>& t) {
    using K = TokenKind;
    if (t.size() != 5 || t[1].kind != t[3].kind) return false;
    const K sep = t[1].kind;
    if (sep != K::Dash && sep != K::Slash && sep != K::Dot) return false;
    if (!Matches(t, {K::Number, sep, K::Number, sep, K::Number})) return false;
    if (t[0].text.size() == 4) {
        return IsCalendarDate(std::stoi(t[0].text), SmallNumber(t[2].text), SmallNumber(t[4].text));
    }
    const int first = SmallNumber(t[0].text);
    const int second = SmallNumber(t[2].text);
    const int year = YearOf(t[4].text);
    if (IsCalendarDate(year, second, first)) return true;
    // Day first fails because the second number cannot be a month: read month first.
    return second > 12 && first >= 1 && first <= 12 && IsCalendarDate(year, first, second);
}

bool IsNamedMonthDate(const std::vector<Token>& t) {
    using K = TokenKind;
    if (Matches(t, {K::Number, K::Space, K::Word, K::Space, K::Number}) ||
        Matches(t, {K::Number, K::Dash, K::Word, K::Dash, K::Number})) {
        return IsCalendarDate(YearOf(t[4].text), MonthOf(t[2].text), SmallNumber(t[0].text));
    }
    if (Matches(t, {K::Word, K::Space, K::Number, K::Space, K::Number}) ||
        Matches(t, {K::Word, K::Space, K::Number, K::Comma, K::Number})) {
        return IsCalendarDate(YearOf(t[4].text), MonthOf(t[0].text), SmallNumber(t[2].text));
    }
    if (Matches(t, {K::Word, K::Space, K::Number, K::Comma, K::Space, K::Number})) {
        return IsCalendarDate(YearOf(t[5].text), MonthOf(t[0].text), SmallNumber(t[2].text));
    }
    return false;
}

}  // namespace

std::string Trim(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(' ');
    return std::string(text.substr(first, last - first + 1));
}

std::size_t CharCount(std::string_view text) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) ++count;
    return count;
}

std::size_t ByteLengthOfChars(std::string_view text, std::size_t count) { return SkipChars(text, count); }

std::string Left(std::string_view text, std::size_t count) {
    return std::string(text.substr(0, SkipChars(text, count)));
}

std::string Right(std::string_view text, std::size_t count) {
    const std::size_t total = CharCount(text);
    if (count >= total) return std::string(text);
    return std::string(text.substr(SkipChars(text, total - count)));
}

std::string Mid(std::string_view text, std::size_t start, std::size_t count) {
    if (start == 0) throw Error(errnum::InvalidProcedureCall, "Invalid procedure call or argument");
    const std::string_view rest = text.substr(SkipChars(text, start - 1));
    if (count == std::string_view::npos) return std::string(rest);
    return std::string(rest.substr(0, SkipChars(rest, count)));
}

std::size_t InStr(std::string_view text, std::string_view needle) {
    if (text.empty()) return 0;
    if (needle.empty()) return 1;
    std::size_t position = 1;
    for (std::size_t i = 0; i < text.size(); i += CharLength(text, i), ++position)
        if (text.substr(i).starts_with(needle)) return position;
    return 0;
}

char32_t FirstCodePoint(std::string_view text) {
    if (text.empty()) return 0;
    const std::size_t length = CharLength(text, 0);
    if (length == 1 && static_cast<unsigned char>(text[0]) >= 0x80) return 0xFFFD;
    return Decode(text, 0, length);
}

std::string UpperCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = CharLength(text, i);
        const bool invalid = length == 1 && static_cast<unsigned char>(text[i]) >= 0x80;
        if (invalid)
            out += text[i];
        else
            AppendUtf8(Upper(Decode(text, i, length)), out);
        i += length;
    }
    return out;
}

std::string ReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
    if (from.empty()) return std::string(text);
    std::string out;
    std::size_t i = 0;
    for (std::size_t hit; (hit = text.find(from, i)) != std::string_view::npos; i = hit + from.size()) {
        out += text.substr(i, hit - i);
        out += to;
    }
    out += text.substr(i);
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) { return lower(x) == lower(y); });
}

namespace {

// Copies `text` with each line break (CR LF, CR or LF) made `with`; the
// stretches between breaks (most texts are one) are copied whole.
std::string ReplaceLineBreaks(std::string_view text, char with) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\r' && c != '\n') continue;
        out.append(text.substr(start, i - start)) += with;
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    return out.append(text.substr(start));
}

}  // namespace

std::string FoldLineBreaks(std::string_view text) { return ReplaceLineBreaks(text, ' '); }

std::string NormaliseLineBreaks(std::string_view text) { return ReplaceLineBreaks(text, '\n'); }

double LeadingNumber(std::string_view text) {
    // Blanks anywhere are skipped, as a typed "1 000" means 1000.
    std::string packed;
    if (std::ranges::any_of(text, IsBlank)) {
        std::ranges::copy_if(text, std::back_inserter(packed), [](char c) { return !IsBlank(c); });
        text = packed;
    }
    std::string cForm;
    if (ScanNumber(text, 0, ".", cForm) == 0) return 0;
    return ParseC(cForm);
}

bool IsNumeric(std::string_view text) {
    const auto cForm = NumericForm(text);
    if (!cForm) return false;
    // Without an exponent, fewer digits than the double range has cannot
    // overflow it: most numbers need no conversion to be known as numbers.
    if (cForm->size() < 300 && cForm->find('e') == std::string::npos) return true;
    try {
        ParseC(*cForm);
        return true;
    } catch (const Error&) {
        return false;  // beyond the double range: does not convert to a number
    }
}

double ToDouble(std::string_view text) {
    const auto cForm = NumericForm(text);
    if (!cForm) throw Error(errnum::TypeMismatch, "Type mismatch");
    return ParseC(*cForm);
}

bool IsDate(std::string_view text) {
    const auto tokens = Tokenize(text);
    if (!tokens) return false;
    std::vector<Token> t = *tokens;
    if (!t.empty() && t.front().kind == TokenKind::Space) t.erase(t.begin());
    if (!t.empty() && t.back().kind == TokenKind::Space) t.pop_back();
    return IsNumericDate(t) || IsNamedMonthDate(t);
}

int32_t RoundToInt32(double value) {
    if (std::isnan(value)) throw Error(errnum::Overflow, "Overflow");
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double rounded = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0.0)) rounded = floor + 1;
    if (rounded < -2147483648.0 || rounded > 2147483647.0) throw Error(errnum::Overflow, "Overflow");
    return static_cast<int32_t>(rounded);
}

int32_t ToInt32(std::string_view text) { return RoundToInt32(ToDouble(text)); }

int16_t ToInt16(std::string_view text) { return CheckedInt16(ToInt32(text)); }

int16_t CheckedInt16(int64_t value) {
    if (value < std::numeric_limits<int16_t>::min() || value > std::numeric_limits<int16_t>::max())
        throw Error(errnum::Overflow, "Overflow");
    return static_cast<int16_t>(value);
}

void AppendUtf8(char32_t cp, std::string& out) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
        return;
    }
    const int tail = cp < 0x800 ? 1 : cp < 0x10000 ? 2 : 3;
    constexpr unsigned char kLead[] = {0, 0xC0, 0xE0, 0xF0};
    out += static_cast<char>(kLead[tail] | (cp >> (6 * tail)));
    for (int k = tail - 1; k >= 0; --k) out += static_cast<char>(0x80 | ((cp >> (6 * k)) & 0x3F));
}

}  // namespace pelmar
