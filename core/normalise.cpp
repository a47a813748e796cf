#include "core/normalise.h"

#include <array>
#include <cstdlib>
#include <vector>

#include "common/general.h"
#include "common/text.h"
#include "core/contact_schema.h"

namespace pelmar {
namespace {

using F = ContactField;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

// Day `day` of month `month` exists in `year` (0: a year that has 29 February).
bool IsCalendarDay(int year, int month, int day) {
    constexpr std::array<int, 12> kDays = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12 || day < 1 || day > kDays[static_cast<std::size_t>(month - 1)]) return false;
    return !(month == 2 && day == 29 && year != 0 && !IsLeapYear(year));
}

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

std::optional<std::string> IsoDate(int year, int month, int day) {
    if (!IsCalendarDay(year, month, day)) return std::nullopt;
    if (year == 0) return "--" + TwoDigits(month) + "-" + TwoDigits(day);
    std::string y = std::to_string(year);
    return std::string(4 - y.size(), '0') + y + "-" + TwoDigits(month) + "-" + TwoDigits(day);
}

// A year as written: four digits as they are, two digits in 1930-2029.
std::optional<int> Year(std::string_view digits) {
    const int value = std::atoi(std::string(digits).c_str());
    if (digits.size() == 4 && value > 0) return value;
    if (digits.size() == 2) return value < 30 ? 2000 + value : 1900 + value;
    return std::nullopt;
}

// 1 to 12 for an English month name, full or its first three letters
// ("sept" too); 0 otherwise.
int MonthNamed(std::string_view word) {
    static constexpr std::array<std::string_view, 12> kMonths = {"january",   "february", "march",    "april",
                                                                 "may",       "june",     "july",     "august",
                                                                 "september", "october",  "november", "december"};
    const std::string lower = Lower(word);
    for (std::size_t m = 0; m < kMonths.size(); ++m) {
        if (lower == kMonths[m] || (lower.size() == 3 && kMonths[m].starts_with(lower)) || (m == 8 && lower == "sept"))
            return static_cast<int>(m) + 1;
    }
    return 0;
}

struct Token {
    std::string text;
    bool number;
};

// Runs of digits and runs of letters; `separators` collects what lies between.
std::optional<std::vector<Token>> Tokens(std::string_view text, std::string& separators) {
    std::vector<Token> tokens;
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        if (IsDigit(c) || IsLetter(c)) {
            const bool number = IsDigit(c);
            std::size_t end = i;
            while (end < text.size() && (number ? IsDigit(text[end]) : IsLetter(text[end]))) ++end;
            tokens.push_back({std::string(text.substr(i, end - i)), number});
            i = end;
        } else if (c == ' ' || c == ',' || c == '-' || c == '/' || c == '.') {
            separators += c;
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return tokens;
}

// d/m/y and its orders, or y-m-d whenever the year comes first in four digits.
std::optional<std::string> NumericDate(const std::vector<Token>& t, std::string_view separators, DateOrder order) {
    if (t.size() != 3 || separators.size() != 2 || separators[0] != separators[1] || separators[0] == ',' ||
        separators[0] == ' ')
        return std::nullopt;
    for (const Token& token : t)
        if (!token.number || token.text.size() > 4) return std::nullopt;
    std::string_view y, m, d;
    if (t[0].text.size() == 4 || order == DateOrder::YearMonthDay) {
        y = t[0].text, m = t[1].text, d = t[2].text;
    } else if (order == DateOrder::MonthDayYear) {
        m = t[0].text, d = t[1].text, y = t[2].text;
    } else {
        d = t[0].text, m = t[1].text, y = t[2].text;
    }
    if (m.size() > 2 || d.size() > 2) return std::nullopt;
    const auto year = Year(y);
    if (!year) return std::nullopt;
    return IsoDate(*year, std::atoi(std::string(m).c_str()), std::atoi(std::string(d).c_str()));
}

// A month name with a day and perhaps a year, in either order; a day may
// carry its ordinal ending (12th).
std::optional<std::string> NamedMonthDate(const std::vector<Token>& t) {
    int month = 0;
    std::vector<std::string> numbers;
    for (std::size_t i = 0; i < t.size(); ++i) {
        if (t[i].number) {
            numbers.push_back(t[i].text);
            continue;
        }
        const std::string lower = Lower(t[i].text);
        const bool ordinal = (lower == "st" || lower == "nd" || lower == "rd" || lower == "th") && i > 0 &&
                             t[i - 1].number && numbers.size() == 1;
        if (ordinal) continue;
        if (month != 0 || (month = MonthNamed(t[i].text)) == 0) return std::nullopt;
    }
    if (month == 0 || numbers.empty() || numbers.size() > 2) return std::nullopt;
    std::string day = numbers[0];
    std::optional<int> year = 0;
    if (numbers.size() == 2) {
        // "1990 Apr 12": a four-digit year may come first.
        if (day.size() == 4) std::swap(day, numbers[1]);
        year = Year(numbers[1]);
    }
    if (!year || day.size() > 2) return std::nullopt;
    return IsoDate(*year, month, std::atoi(day.c_str()));
}

}  // namespace

std::string TrimValue(std::string_view text) {
    constexpr std::string_view kBlanks = " \t\r\n";
    const std::size_t first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) return {};
    return std::string(text.substr(first, text.find_last_not_of(kBlanks) - first + 1));
}

std::string NormalisePhone(std::string_view number) {
    std::string kept;
    for (const char c : number) {
        if (c == ' ' || c == '\t' || c == '-' || c == '.' || c == '/' || c == '(' || c == ')') continue;
        kept += c;
    }
    return kept;
}

std::string NormaliseGender(std::string_view text) {
    const std::string word = Lower(TrimValue(text));
    if (word == "m" || word == "male" || word == "man") return "M";
    if (word == "f" || word == "female" || word == "woman") return "F";
    if (word == "unspecified" || word == "unknown") return {};
    return UpperCase(TrimValue(text));
}

std::optional<std::string> NormaliseDate(std::string_view text, DateOrder order) {
    const std::string trimmed = TrimValue(text);
    if (trimmed.size() == 7 && trimmed.starts_with("--") && trimmed[4] == '-' && IsDigit(trimmed[2]) &&
        IsDigit(trimmed[3]) && IsDigit(trimmed[5]) && IsDigit(trimmed[6]))
        return IsoDate(0, std::atoi(trimmed.substr(2, 2).c_str()), std::atoi(trimmed.substr(5, 2).c_str()));
    std::string separators;
    const auto tokens = Tokens(trimmed, separators);
    if (!tokens || tokens->empty()) return std::nullopt;
    if (auto numeric = NumericDate(*tokens, separators, order)) return numeric;
    return NamedMonthDate(*tokens);
}

bool IsYearlessDate(std::string_view text) {
    return text.size() == 7 && text.starts_with("--") && NormaliseDate(text, DateOrder::DayMonthYear).has_value();
}

std::string FirstEmail(std::string_view text) {
    std::string list = ReplaceAll(text, ":::", ";");
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = list.find_first_of(";,", start);
        std::string address = TrimValue(std::string_view(list).substr(start, end - start));
        if (!address.empty() || end == std::string::npos) return address;
        start = end + 1;
    }
}

void ReadNormalisedRecord(const RecordStore& rows, const ColumnMapping& mapping, int32_t recordNumber,
                          const MobilePrefix& prefix, DateOrder order, const ErrorRecorder& recorder,
                          ContactRecord& record) {
    // The value whole, where the lookup would cut one over 50 characters.
    const auto read = [&](ContactField field) -> std::string {
        const FieldSource& source = mapping.Source(field);
        if (source.failure) {
            std::string value;  // the lookup records the failure and leaves ""
            LookUpField(rows, recordNumber, source, recorder, value);
            return value;
        }
        if (source.position == 0) return TrimValue(rows.RowText(recordNumber));
        if (source.position > 0 && source.position <= rows.SubItemCount(recordNumber))
            return TrimValue(rows.SubItem(recordNumber, source.position));
        return {};
    };
    const auto date = [&](ContactField field) {
        std::string text = read(field);
        return NormaliseDate(text, order).value_or(text);
    };
    record.EmailRejected = false;
    for (const ContactField field : {F::FirstName, F::MiddleName, F::LastName}) *FieldText(record, field) = read(field);
    record.MobileNumber = NormalisePhone(read(F::MobileNumber));
    record.Email = FirstEmail(read(F::Email));

    ApplyPrefix(prefix, record.MobileNumber);
    if (!IsValidEmail(record.Email, recorder)) {
        record.EmailRejected = !record.Email.empty();
        record.Email.clear();
    }

    record.Address = read(F::Address);
    record.Organisation = read(F::Organisation);
    record.Sex = NormaliseGender(read(F::Sex));
    record.CountryCode = read(F::CountryCode);
    record.Age = RoundToInt32(LeadingNumber(read(F::Age)));
    for (const ContactField field : {F::City, F::State, F::Country, F::Zip}) *FieldText(record, field) = read(field);
    for (const ContactField field : {F::HomePhone, F::OfficePhone, F::Fax})
        *FieldText(record, field) = NormalisePhone(read(field));
    record.Birthday = date(F::Birthday);
    record.Anniversary = date(F::Anniversary);
    record.Hobby = read(F::Hobby);
}

std::optional<ContactField> TooLongField(const ContactRecord& record) {
    for (const ContactField field : kContactFields) {
        const std::string* text = FieldText(record, field);
        if (text && text->size() > static_cast<std::size_t>(FieldColumnSize(field)) &&
            CharCount(*text) > static_cast<std::size_t>(FieldColumnSize(field)))
            return field;
    }
    return std::nullopt;
}

std::optional<std::string> ValidateNormalisedRecord(const ContactRecord& record, int32_t recordNumber) {
    // The rules' date test knows no date without a year: it is shown one of
    // a leap year, so that --02-29 passes too.
    std::optional<std::string> rejection;
    if (IsYearlessDate(record.Birthday) || IsYearlessDate(record.Anniversary)) {
        ContactRecord dated = record;
        for (std::string* date : {&dated.Birthday, &dated.Anniversary})
            if (IsYearlessDate(*date)) *date = "2000" + date->substr(1);
        rejection = ValidateContactRecord(dated, recordNumber);
    } else {
        rejection = ValidateContactRecord(record, recordNumber);
    }
    if (rejection) return rejection;
    if (const auto field = TooLongField(record))
        return "PelmarImpExp: " + std::string(FieldName(*field)) + " is longer than its column (" +
               std::to_string(FieldColumnSize(*field)) + " characters) at record no " + std::to_string(recordNumber);
    return std::nullopt;
}

}  // namespace pelmar
