#include "core/contact_rules.h"

#include "common/general.h"
#include "common/text.h"

namespace pelmar {
namespace {

std::string Doubled(const std::string& text) { return ReplaceAll(text, "'", "''"); }

// A prefix whose value is 0 (empty, zeros only, not a number) is never added.
void ApplyPrefix(const MobilePrefix& prefix, std::string& number) {
    if (LeadingNumber(prefix.text) == 0) return;
    const std::string trimmed = Trim(prefix.text);
    const bool present = Left(number, CharCount(trimmed)) == trimmed;
    if (!prefix.onlyIfNotPresent || !present) number = trimmed + number;
}

}  // namespace

void ReadContactRecord(const RecordStore& rows, const ColumnMapping& mapping, int32_t recordNumber,
                       const MobilePrefix& prefix, const ErrorRecorder& recorder, ContactRecord& record) {
    const auto read = [&](ContactField field) {
        return LookUpField(rows, recordNumber, mapping.Source(field), recorder);
    };
    using F = ContactField;
    record.FirstName = Doubled(read(F::FirstName));
    record.MiddleName = Doubled(read(F::MiddleName));
    record.LastName = Doubled(read(F::LastName));
    record.MobileNumber = read(F::MobileNumber);
    record.Email = read(F::Email);

    ApplyPrefix(prefix, record.MobileNumber);
    if (!IsValidEmail(record.Email, recorder)) {
        record.EmailRejected = !Trim(record.Email).empty();
        record.Email.clear();
    }

    record.Address = Doubled(read(F::Address));
    record.Organisation = Doubled(read(F::Organisation));
    record.Sex = UpperCase(Doubled(read(F::Sex)));
    record.CountryCode = Doubled(read(F::CountryCode));
    record.Age = RoundToInt32(LeadingNumber(Doubled(read(F::Age))));
    record.City = Doubled(read(F::City));
    record.State = Doubled(read(F::State));
    record.Country = Doubled(read(F::Country));
    record.Zip = Doubled(read(F::Zip));
    record.HomePhone = Doubled(read(F::HomePhone));
    record.OfficePhone = Doubled(read(F::OfficePhone));
    record.Fax = Doubled(read(F::Fax));
    record.Birthday = Doubled(read(F::Birthday));
    record.Anniversary = Doubled(read(F::Anniversary));
    record.Hobby = Doubled(read(F::Hobby));
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
