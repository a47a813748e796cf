#include "core/vcard_reader.h"

#include <optional>
#include <vector>

#include "common/text.h"
#include "core/normalise.h"
#include "core/vcard_values.h"

namespace pelmar {
namespace {

using F = ContactField;

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

// A number as a TEL gives it: a tel: URI without its scheme and parameters
// (";ext=..."), else the text unescaped.
std::string PhoneNumber(const VcardProperty& property) {
    const std::string value = DecodedValue(property);
    const std::string_view kind = property.Parameter("VALUE");
    const bool uri = EqualsNoCase(kind, "uri") || (kind.empty() && StartsWithNoCase(TrimBlanks(value), "tel:"));
    if (!uri) return UnescapeText(value);
    std::string_view number = TrimBlanks(value);
    if (StartsWithNoCase(number, "tel:")) number.remove_prefix(4);
    return std::string(number.substr(0, number.find(';')));
}

// GENDER's sex letter, else its identity text; N (none) and U (unknown) are
// no sex. Words go as the import reads them (male, woman, ...).
std::string SexOf(const std::vector<std::string>& gender) {
    const std::string_view sex = TrimBlanks(gender.front());
    if (EqualsNoCase(sex, "N") || EqualsNoCase(sex, "U")) return {};
    if (!sex.empty()) return NormaliseGender(sex);
    return gender.size() > 1 ? NormaliseGender(gender[1]) : std::string();
}

// The date of BDAY or ANNIVERSARY: a text value as it is, a date as an ISO
// date (an Apple book's X-APPLE-OMIT-YEAR year meaning none).
std::string DateOf(const VcardProperty& property) {
    std::string text = UnescapeText(DecodedValue(property));
    if (EqualsNoCase(property.Parameter("VALUE"), "text")) return text;
    return IsoDateOf(text, property.Parameter("X-APPLE-OMIT-YEAR"));
}

// The value a field takes from several candidates: a preferred one (the
// lower PREF the better) over the others, the first of equals.
class Candidate {
public:
    bool Offer(int preference) const { return Rank(preference) < rank_; }
    void Take(int preference, std::string value) {
        rank_ = Rank(preference);
        value_ = std::move(value);
    }
    std::string Value() && { return std::move(value_); }

private:
    static int Rank(int preference) { return preference > 0 ? preference : kNotPreferred; }
    static constexpr int kNotPreferred = 101;
    int rank_ = kNotPreferred + 1;  // nothing yet
    std::string value_;
};

// What one card's properties give for the fields, property by property.
class CardFields {
public:
    void Take(const VcardProperty& p) {
        const std::string& name = p.name;
        if (name == "TEL") {
            TakePhone(p);
        } else if (name == "EMAIL") {
            if (email_.Offer(p.Preference())) email_.Take(p.Preference(), UnescapeText(DecodedValue(p)));
        } else if (name == "ADR") {
            if (address_.Offer(p.Preference())) address_.Take(p.Preference(), DecodedValue(p));
        } else if (name == "N") {
            if (!names_) names_ = Components(DecodedValue(p));
        } else if (name == "FN") {
            First(fullName_, [&] { return UnescapeText(DecodedValue(p)); });
        } else if (name == "ORG") {
            First(organisation_, [&] { return Components(DecodedValue(p)).front(); });
        } else if (name == "BDAY") {
            First(birthday_, [&] { return DateOf(p); });
        } else if (name == "ANNIVERSARY" || name == "X-ANNIVERSARY") {
            First(anniversary_, [&] { return DateOf(p); });
        } else if (name == "GENDER") {
            First(sex_, [&] { return SexOf(Components(DecodedValue(p))); });
        } else if (name == "X-GENDER") {
            First(sex_, [&] { return NormaliseGender(UnescapeText(DecodedValue(p))); });
        } else if (name == "X-PELMAR-COUNTRYCODE") {
            First(countryCode_, [&] { return UnescapeText(DecodedValue(p)); });
        } else if (name == "X-PELMAR-AGE") {
            First(age_, [&] { return UnescapeText(DecodedValue(p)); });
        } else if (name == "X-PELMAR-HOBBY") {
            First(hobby_, [&] { return UnescapeText(DecodedValue(p)); });
        }
    }

    void Finish(VcardCard& card) && {
        for (std::string& field : card.fields) field.clear();
        if (names_) {
            names_->resize(3);
            card[F::LastName] = std::move((*names_)[0]);
            card[F::FirstName] = std::move((*names_)[1]);
            card[F::MiddleName] = std::move((*names_)[2]);
        }
        if (TrimBlanks(card[F::FirstName]).empty() && fullName_) card[F::FirstName] = std::move(*fullName_);
        card[F::MobileNumber] = hasCell_ ? std::move(cell_).Value() : std::move(voice_).Value();
        card[F::HomePhone] = std::move(home_).Value();
        card[F::OfficePhone] = std::move(work_).Value();
        card[F::Fax] = std::move(fax_).Value();
        card[F::Email] = std::move(email_).Value();
        std::vector<std::string> address = Components(std::move(address_).Value());
        address.resize(7);
        card[F::Address] = address[2].empty() ? std::move(address[1]) : std::move(address[2]);
        card[F::City] = std::move(address[3]);
        card[F::State] = std::move(address[4]);
        card[F::Zip] = std::move(address[5]);
        card[F::Country] = std::move(address[6]);
        const auto set = [&](F field, std::optional<std::string>& value) {
            if (value) card[field] = std::move(*value);
        };
        set(F::Organisation, organisation_);
        set(F::Birthday, birthday_);
        set(F::Anniversary, anniversary_);
        set(F::Sex, sex_);
        set(F::CountryCode, countryCode_);
        set(F::Age, age_);
        set(F::Hobby, hobby_);
    }

private:
    template <typename Read>
    static void First(std::optional<std::string>& field, Read read) {
        if (!field) field = read();
    }

    void TakePhone(const VcardProperty& p) {
        const int preference = p.Preference();
        const auto offer = [&](Candidate& candidate) {
            if (candidate.Offer(preference)) candidate.Take(preference, PhoneNumber(p));
        };
        if (p.HasType("cell")) {
            offer(cell_);
            hasCell_ = true;
            return;
        }
        if (!hasVoice_ && !p.HasTypeOtherThan({"voice", "pref"})) {
            voice_.Take(0, PhoneNumber(p));
            hasVoice_ = true;
        }
        if (p.HasType("fax")) {
            offer(fax_);
            return;
        }
        if (p.HasType("home")) offer(home_);
        if (p.HasType("work")) offer(work_);
    }

    std::optional<std::vector<std::string>> names_;
    std::optional<std::string> fullName_, organisation_, birthday_, anniversary_, sex_, countryCode_, age_, hobby_;
    Candidate cell_, voice_, home_, work_, fax_, email_, address_;
    bool hasCell_ = false;
    bool hasVoice_ = false;
};

}  // namespace

VcardReader::VcardReader(const std::string& path)
        : file_(std::make_unique<TextFileReader>(path)),
          choice_(file_->Choice()),
          properties_([file = file_.get()] { return file->ReadPiece(); }) {}

VcardReader::VcardReader(TextPieces pieces) : properties_(std::move(pieces)) {}

VcardReader::~VcardReader() = default;

bool VcardReader::Next(VcardCard& card) {
    int depth = 0;
    CardFields fields;
    while (properties_.Next(property_)) {
        const int boundary = property_.boundary;
        if (boundary == 1 && depth++ == 0) card.line = property_.line;
        if (boundary == -1 && depth > 0 && --depth == 0) {
            std::move(fields).Finish(card);
            return true;
        }
        if (boundary == 0 && depth == 1) fields.Take(property_);
    }
    if (depth == 0) return false;
    std::move(fields).Finish(card);
    return true;
}

}  // namespace pelmar
