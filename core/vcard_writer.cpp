#include "core/vcard_writer.h"

#include <algorithm>

#include "common/error.h"
#include "core/contact_field.h"
#include "core/vcard_values.h"

namespace pelmar {
namespace {

using F = ContactField;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool IsBlankText(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

bool IsIsoDate(std::string_view text) {
    return text.size() == 10 && text[4] == '-' && text[7] == '-' && std::ranges::all_of(text.substr(0, 4), IsDigit) &&
           std::ranges::all_of(text.substr(5, 2), IsDigit) && std::ranges::all_of(text.substr(8), IsDigit);
}

bool IsYearlessIsoDate(std::string_view text) {
    return text.size() == 7 && text.starts_with("--") && text[4] == '-' &&
           std::ranges::all_of(text.substr(2, 2), IsDigit) && std::ranges::all_of(text.substr(5), IsDigit);
}

// A number that a tel: URI can carry as it is: digits with the visual
// separators the URI allows.
bool IsUriNumber(std::string_view number) {
    return std::ranges::any_of(number, IsDigit) && std::ranges::all_of(number, [](char c) {
               return IsDigit(c) || c == '+' || c == '-' || c == '.' || c == '(' || c == ')';
           });
}

class CardWriter {
public:
    CardWriter(std::span<const std::string> fields, VcardVersion version) : fields_(fields), version_(version) {}

    std::string Write() {
        Line("BEGIN:VCARD");
        Line("VERSION:" + std::string(VersionText(version_)));
        Line("FN:" + EscapeText(FullName()));
        Line("N:" + EscapeText(Field(F::LastName)) + ";" + EscapeText(Field(F::FirstName)) + ";" +
             EscapeText(Field(F::MiddleName)) + ";;");
        Text("ORG", F::Organisation);
        Phone("cell", F::MobileNumber);
        Phone("home", F::HomePhone);
        Phone("work", F::OfficePhone);
        Phone("fax", F::Fax);
        Text("EMAIL", F::Email);
        Address();
        Date("BDAY", F::Birthday);
        Date(V4() ? "ANNIVERSARY" : "X-ANNIVERSARY", F::Anniversary);
        Gender();
        Text("X-PELMAR-COUNTRYCODE", F::CountryCode);
        Text("X-PELMAR-AGE", F::Age);
        Text("X-PELMAR-HOBBY", F::Hobby);
        Line("END:VCARD");
        return std::move(card_);
    }

private:
    bool V4() const { return version_ == VcardVersion::V4_0; }

    const std::string& Field(F field) const { return fields_[static_cast<std::size_t>(FieldIndex(field) - 1)]; }

    // FN gives FirstName back only when N has none, so a contact without a
    // first name keeps an FN as empty as it.
    std::string FullName() const {
        if (IsBlankText(Field(F::FirstName))) return Field(F::FirstName);
        std::string name;
        for (const F field : {F::FirstName, F::MiddleName, F::LastName}) {
            if (IsBlankText(Field(field))) continue;
            if (!name.empty()) name += ' ';
            name += Field(field);
        }
        return name;
    }

    void Line(const std::string& line) { AppendFolded(line, card_); }

    void Text(std::string_view property, F field) {
        if (!Field(field).empty()) Line(std::string(property) + ":" + EscapeText(Field(field)));
    }

    void Phone(std::string_view type, F field) {
        const std::string& number = Field(field);
        if (number.empty()) return;
        if (!V4()) {
            std::string upper(type);
            std::ranges::transform(upper, upper.begin(), [](char c) { return static_cast<char>(c - 'a' + 'A'); });
            Line("TEL;TYPE=" + upper + ":" + EscapeText(number));
        } else if (IsUriNumber(number)) {
            Line("TEL;VALUE=uri;TYPE=" + std::string(type) + ":tel:" + number);
        } else {
            Line("TEL;VALUE=text;TYPE=" + std::string(type) + ":" + EscapeText(number));
        }
    }

    void Address() {
        const F parts[] = {F::Address, F::City, F::State, F::Zip, F::Country};
        if (std::ranges::all_of(parts, [&](F field) { return Field(field).empty(); })) return;
        std::string value = ";;";
        for (const F field : parts) value += EscapeText(Field(field)) + (field == F::Country ? "" : ";");
        Line("ADR:" + value);
    }

    // 4.0 writes dates in the basic form (19900412, --0412), 3.0 in the
    // extended one; a date without a year is --mm-dd there, as phones write
    // it. Text that is no ISO date goes as text.
    void Date(std::string_view property, F field) {
        const std::string& date = Field(field);
        std::string value;
        if (date.empty()) return;
        if (IsIsoDate(date)) {
            value = V4() ? date.substr(0, 4) + date.substr(5, 2) + date.substr(8) : date;
        } else if (IsYearlessIsoDate(date)) {
            value = V4() ? "--" + date.substr(2, 2) + date.substr(5) : date;
        } else {
            Line(std::string(property) + ";VALUE=text:" + EscapeText(date));
            return;
        }
        Line(std::string(property) + ":" + value);
    }

    void Gender() {
        const std::string& sex = Field(F::Sex);
        if (sex.empty()) return;
        if (V4()) {
            Line(sex == "M" || sex == "F" ? "GENDER:" + sex : "GENDER:;" + EscapeText(sex));
        } else {
            Line("X-GENDER:" + (sex == "M" ? "Male" : sex == "F" ? "Female" : EscapeText(sex)));
        }
    }

    std::span<const std::string> fields_;
    VcardVersion version_;
    std::string card_;
};

}  // namespace

std::string_view VersionText(VcardVersion version) { return version == VcardVersion::V4_0 ? "4.0" : "3.0"; }

std::string VcardOf(std::span<const std::string> fields, VcardVersion version) {
    if (fields.size() != static_cast<std::size_t>(kContactFieldCount))
        throw Error(errnum::InvalidProcedureCall, "Invalid procedure call or argument");
    return CardWriter(fields, version).Write();
}

}  // namespace pelmar
