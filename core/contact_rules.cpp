#include "core/contact_rules.h"

#include "common/general.h"
#include "common/text.h"

namespace pelmar {
namespace {

// Kept on purpose: docs/behaviour.md#doubled-apostrophes
// Every apostrophe doubled, in place: most values hold none and are left as
// they are.
void DoubleApostrophes(std::string& text) {
    if (text.find('\'') == std::string::npos) return;
    text = ReplaceAll(text, "'", "''");
}

}  // namespace

// Kept on purpose: docs/behaviour.md#the-age-the-mobile-prefix-and-the-e-mail-address
// A prefix whose value is 0 (empty, zeros only, not a number) is never added.
void ApplyPrefix(const MobilePrefix& prefix, std::string& number) {
    if (LeadingNumber(prefix.text) == 0) return;
    const std::string trimmed = Trim(prefix.text);
    const bool present = Left(number, CharCount(trimmed)) == trimmed;
    if (!prefix.onlyIfNotPresent || !present) number.insert(0, trimmed);
}

void ReadContactRecord(const RecordStore& rows, const ColumnMapping& mapping, int32_t recordNumber,
                       const MobilePrefix& prefix, const ErrorRecorder& recorder, ContactRecord& record) {
    using F = ContactField;
    // Each member is read into its own string, whose room the next record
    // reuses.
    const auto read = [&](ContactField field, std::string& value) {
        LookUpField(rows, recordNumber, mapping.Source(field), recorder, value);
    };
    const auto readDoubled = [&](ContactField field, std::string& value) {
        read(field, value);
        DoubleApostrophes(value);
    };
    record.EmailRejected = false;
    readDoubled(F::FirstName, record.FirstName);
    readDoubled(F::MiddleName, record.MiddleName);
    readDoubled(F::LastName, record.LastName);
    read(F::MobileNumber, record.MobileNumber);
    read(F::Email, record.Email);

    ApplyPrefix(prefix, record.MobileNumber);
    if (!IsValidEmail(record.Email, recorder)) {
        record.EmailRejected = !Trim(record.Email).empty();
        record.Email.clear();
    }

    readDoubled(F::Address, record.Address);
    readDoubled(F::Organisation, record.Organisation);
    readDoubled(F::Sex, record.Sex);
    record.Sex = UpperCase(record.Sex);
    readDoubled(F::CountryCode, record.CountryCode);
    // Doubling an apostrophe cannot change where a leading number ends.
    std::string age;
    read(F::Age, age);
    record.Age = RoundToInt32(LeadingNumber(age));
    readDoubled(F::City, record.City);
    readDoubled(F::State, record.State);
    readDoubled(F::Country, record.Country);
    readDoubled(F::Zip, record.Zip);
    readDoubled(F::HomePhone, record.HomePhone);
    readDoubled(F::OfficePhone, record.OfficePhone);
    readDoubled(F::Fax, record.Fax);
    readDoubled(F::Birthday, record.Birthday);
    readDoubled(F::Anniversary, record.Anniversary);
    readDoubled(F::Hobby, record.Hobby);
}

std::optional<std::string> ValidateContactRecord(const ContactRecord& record, int32_t recordNumber) {
    const std::string number = std::to_string(recordNumber);
    if (!record.Birthday.empty() && !IsDate(record.Birthday)) return "PelmarImpExp: Invalid date of birth." + number;
    if (!record.Anniversary.empty() && !IsDate(record.Anniversary))
        return "PelmarImpExp: Invalid anniversory date." + number;
    if (!record.Sex.empty() && record.Sex != "M" && record.Sex != "F") return "PelmarImpExp: Invalid gender." + number;
    if (!IsNumeric(record.MobileNumber) || Trim(record.FirstName).empty())
        return "PelmarImpExp: Mobile No is not numeric or Contact name is missing at record no " + number;
    return std::nullopt;
}

}  // namespace pelmar
