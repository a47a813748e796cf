#include "core/header_mapping.h"

#include <array>

namespace pelmar {
namespace {

using F = ContactField;

struct Synonym {
    std::string_view key;
    F field;
    int rank;
};

// Keys of the headers that generic files, the large address-book services
// ("Given Name", "E-mail 1 - Value", "Address 1 - City") and the mail clients
// ("E-mail Address", "Mobile Phone", "Home ZipCode", "Home Country/Region")
// write, and the field names the CSV export writes.
constexpr auto kSynonyms = std::to_array<Synonym>({
    {"firstname", F::FirstName, 0},
    {"givenname", F::FirstName, 0},
    {"first", F::FirstName, 0},
    {"forename", F::FirstName, 0},
    {"fname", F::FirstName, 0},
    {"name", F::FirstName, 2},
    {"fullname", F::FirstName, 2},
    {"displayname", F::FirstName, 2},
    {"contactname", F::FirstName, 2},
    {"contact", F::FirstName, 2},

    {"middlename", F::MiddleName, 0},
    {"additionalname", F::MiddleName, 0},
    {"middle", F::MiddleName, 0},
    {"mname", F::MiddleName, 0},

    {"lastname", F::LastName, 0},
    {"familyname", F::LastName, 0},
    {"surname", F::LastName, 0},
    {"last", F::LastName, 0},
    {"lname", F::LastName, 0},

    {"email", F::Email, 0},
    {"emailaddress", F::Email, 0},
    {"email1value", F::Email, 0},
    {"primaryemail", F::Email, 0},
    {"email1", F::Email, 0},
    {"mail", F::Email, 1},
    {"email2address", F::Email, 1},
    {"email2value", F::Email, 1},
    {"secondaryemail", F::Email, 1},
    {"email2", F::Email, 1},

    {"address", F::Address, 0},
    {"street", F::Address, 0},
    {"streetaddress", F::Address, 0},
    {"homestreet", F::Address, 0},
    {"homeaddress", F::Address, 0},
    {"address1street", F::Address, 0},
    {"addressline1", F::Address, 0},
    {"mailingstreet", F::Address, 0},
    {"address1formatted", F::Address, 1},
    {"businessstreet", F::Address, 1},
    {"workaddress", F::Address, 1},
    {"businessaddress", F::Address, 1},

    {"mobilenumber", F::MobileNumber, 0},
    {"mobile", F::MobileNumber, 0},
    {"mobilephone", F::MobileNumber, 0},
    {"mobileno", F::MobileNumber, 0},
    {"cell", F::MobileNumber, 0},
    {"cellphone", F::MobileNumber, 0},
    {"cellular", F::MobileNumber, 0},
    {"cellnumber", F::MobileNumber, 0},
    {"homemobile", F::MobileNumber, 0},
    {"businessmobile", F::MobileNumber, 1},
    {"phone", F::MobileNumber, 2},
    {"phonenumber", F::MobileNumber, 2},
    {"phone1value", F::MobileNumber, 2},
    {"phone1", F::MobileNumber, 2},
    {"telephone", F::MobileNumber, 2},
    {"tel", F::MobileNumber, 2},
    {"primaryphone", F::MobileNumber, 2},
    {"contactnumber", F::MobileNumber, 2},

    {"organisation", F::Organisation, 0},
    {"organization", F::Organisation, 0},
    {"company", F::Organisation, 0},
    {"companyname", F::Organisation, 0},
    {"organization1name", F::Organisation, 0},
    {"organizationname", F::Organisation, 0},
    {"organisationname", F::Organisation, 0},
    {"org", F::Organisation, 0},

    {"sex", F::Sex, 0},
    {"gender", F::Sex, 0},

    {"countrycode", F::CountryCode, 0},
    {"dialcode", F::CountryCode, 0},
    {"callingcode", F::CountryCode, 0},

    {"age", F::Age, 0},

    {"city", F::City, 0},
    {"homecity", F::City, 0},
    {"address1city", F::City, 0},
    {"town", F::City, 0},
    {"mailingcity", F::City, 0},
    {"businesscity", F::City, 1},
    {"location", F::City, 2},
    {"locality", F::City, 2},

    {"state", F::State, 0},
    {"homestate", F::State, 0},
    {"address1region", F::State, 0},
    {"region", F::State, 0},
    {"province", F::State, 0},
    {"stateprovince", F::State, 0},
    {"mailingstate", F::State, 0},
    {"businessstate", F::State, 1},

    {"country", F::Country, 0},
    {"homecountry", F::Country, 0},
    {"homecountryregion", F::Country, 0},
    {"address1country", F::Country, 0},
    {"countryregion", F::Country, 0},
    {"mailingcountry", F::Country, 0},
    {"businesscountry", F::Country, 1},
    {"businesscountryregion", F::Country, 1},

    {"zip", F::Zip, 0},
    {"zipcode", F::Zip, 0},
    {"postalcode", F::Zip, 0},
    {"postcode", F::Zip, 0},
    {"pincode", F::Zip, 0},
    {"homezip", F::Zip, 0},
    {"homezipcode", F::Zip, 0},
    {"homepostalcode", F::Zip, 0},
    {"address1postalcode", F::Zip, 0},
    {"mailingzip", F::Zip, 0},
    {"mailingpostalcode", F::Zip, 0},
    {"businesspostalcode", F::Zip, 1},
    {"businesszip", F::Zip, 1},

    {"homephone", F::HomePhone, 0},
    {"hometelephone", F::HomePhone, 0},
    {"phonehome", F::HomePhone, 0},
    {"landline", F::HomePhone, 0},
    {"homephone2", F::HomePhone, 1},

    {"officephone", F::OfficePhone, 0},
    {"businessphone", F::OfficePhone, 0},
    {"workphone", F::OfficePhone, 0},
    {"phonework", F::OfficePhone, 0},
    {"businessphone2", F::OfficePhone, 1},
    {"companymainphone", F::OfficePhone, 1},

    {"fax", F::Fax, 0},
    {"faxnumber", F::Fax, 0},
    {"businessfax", F::Fax, 0},
    {"workfax", F::Fax, 0},
    {"homefax", F::Fax, 1},
    {"otherfax", F::Fax, 1},

    {"birthday", F::Birthday, 0},
    {"dob", F::Birthday, 0},
    {"dateofbirth", F::Birthday, 0},
    {"birthdate", F::Birthday, 0},

    {"anniversary", F::Anniversary, 0},
    {"weddinganniversary", F::Anniversary, 0},

    {"hobby", F::Hobby, 0},
    {"hobbies", F::Hobby, 0},
    {"interests", F::Hobby, 1},
});

}  // namespace

std::string HeaderKey(std::string_view name) {
    std::string key;
    for (const char c : name) {
        if (c >= 'A' && c <= 'Z')
            key += static_cast<char>(c - 'A' + 'a');
        else if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || static_cast<unsigned char>(c) >= 0x80)
            key += c;
    }
    return key;
}

std::optional<HeaderField> FieldForHeader(std::string_view name) {
    const std::string key = HeaderKey(name);
    for (const Synonym& synonym : kSynonyms)
        if (synonym.key == key) return HeaderField{synonym.field, synonym.rank};
    return std::nullopt;
}

HeaderMapping MapByHeader(const std::vector<std::string>& header) {
    struct Best {
        int32_t column = -1;
        int rank = 0;
    };
    std::array<Best, kContactFieldCount> best{};
    for (std::size_t column = 0; column < header.size(); ++column) {
        const auto named = FieldForHeader(header[column]);
        if (!named) continue;
        Best& b = best[static_cast<std::size_t>(FieldIndex(named->field) - 1)];
        if (b.column < 0 || named->rank < b.rank) b = {static_cast<int32_t>(column), named->rank};
    }
    HeaderMapping mapping;
    for (std::size_t column = 0; column < header.size(); ++column) {
        bool taken = false;
        for (const ContactField field : kContactFields) {
            if (best[static_cast<std::size_t>(FieldIndex(field) - 1)].column != static_cast<int32_t>(column)) continue;
            mapping.matches.push_back({static_cast<int32_t>(column), field});
            taken = true;
        }
        if (!taken) mapping.unmapped.push_back(static_cast<int32_t>(column));
    }
    return mapping;
}

std::optional<int32_t> FindHeaderColumn(const std::vector<std::string>& header, std::string_view name) {
    const std::string key = HeaderKey(name);
    if (key.empty()) return std::nullopt;
    for (std::size_t column = 0; column < header.size(); ++column)
        if (HeaderKey(header[column]) == key) return static_cast<int32_t>(column);
    return std::nullopt;
}

}  // namespace pelmar
