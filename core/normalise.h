#pragma once
// Normalised reading of a record, for files written by other programs: text
// kept as typed and trimmed (no apostrophes doubled), phone numbers without
// their punctuation, gender words as M or F, dates in their common written
// forms stored as ISO dates, the first of several e-mail addresses; and a
// value too long for its column rejected with a reason.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/error_info.h"
#include "core/column_mapping.h"
#include "core/contact_field.h"
#include "core/contact_record.h"
#include "core/contact_rules.h"
#include "core/record_store.h"

namespace pelmar {

// How numeric dates with a two-digit or trailing year are read.
enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

// Blanks, tabs and line breaks removed from both ends.
std::string TrimValue(std::string_view text);

// Without blanks, "-", ".", "/" and parentheses; a leading "+" stays.
std::string NormalisePhone(std::string_view number);

// m, male, man, f, female, woman (any case) as M or F; unspecified and
// unknown as nothing; any other text upper-cased, for the gender rule.
std::string NormaliseGender(std::string_view text);

// A date as yyyy-mm-dd, or --mm-dd without a year, from: yyyy-mm-dd (also
// with / or .), --mm-dd, numeric d/m/y forms (separated by /, . or -; a
// two-digit year means 1930-2029) in `order`, and dates with an English
// month name ("12 Apr 1990", "12-Apr-1990", "April 12, 1990", "12 April").
// Nothing when the text is none of these or no day of the calendar.
std::optional<std::string> NormaliseDate(std::string_view text, DateOrder order);

// The first address of a list separated by ":::", ";" or ",".
std::string FirstEmail(std::string_view text);

// Reads record `recordNumber` normalised, in the order and with the prefix
// rule and the e-mail check of ReadContactRecord. Values are read whole, so
// that one too long for its column is rejected rather than cut.
void ReadNormalisedRecord(const RecordStore& rows, const ColumnMapping& mapping, int32_t recordNumber,
                          const MobilePrefix& prefix, DateOrder order, const ErrorRecorder& recorder,
                          ContactRecord& record);

// The four rules of ValidateContactRecord on a normalised record (a date
// without a year is a date), then each value against its column's size.
std::optional<std::string> ValidateNormalisedRecord(const ContactRecord& record, int32_t recordNumber);

// The field whose value is longer than its column, the first in field order.
std::optional<ContactField> TooLongField(const ContactRecord& record);

// Whether `text` is a date as NormaliseDate writes one without a year.
bool IsYearlessDate(std::string_view text);

}  // namespace pelmar
