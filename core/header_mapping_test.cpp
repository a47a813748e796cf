#include "core/header_mapping.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

// "column=Field" for each match, in column order.
std::vector<std::string> Matches(const std::vector<std::string>& header) {
    std::vector<std::string> out;
    for (const HeaderMatch& m : MapByHeader(header).matches)
        out.push_back(std::to_string(m.column) + "=" + std::string(FieldName(m.field)));
    return out;
}

TEST(MapByHeader, MapsTheHeadersOfTheUsualExports) {
    const struct {
        const char* name;
        std::vector<std::string> header;
        std::vector<std::string> matches;
    } cases[] = {
        {"generic",
         {"name", "phone_number", "e-mail", "location", "company", "gender", "dob"},
         {"0=FirstName", "1=MobileNumber", "2=Email", "3=City", "4=Organisation", "5=Sex", "6=Birthday"}},
        {"address-book service",
         {"Name", "Given Name", "Additional Name", "Family Name", "Birthday", "Gender", "E-mail 1 - Value",
          "Phone 1 - Value", "Address 1 - Street", "Address 1 - City", "Address 1 - Region", "Address 1 - Postal Code",
          "Address 1 - Country", "Organization 1 - Name"},
         {"1=FirstName", "2=MiddleName", "3=LastName", "4=Birthday", "5=Sex", "6=Email", "7=MobileNumber", "8=Address",
          "9=City", "10=State", "11=Zip", "12=Country", "13=Organisation"}},
        {"mail client",
         {"First Name", "Last Name", "Company", "Home Street", "Home City", "Home State", "Home Postal Code",
          "Home Country/Region", "Business Fax", "Business Phone", "Home Phone", "Mobile Phone", "Anniversary",
          "Birthday", "E-mail Address", "\nGender"},
         {"0=FirstName", "1=LastName", "2=Organisation", "3=Address", "4=City", "5=State", "6=Zip", "7=Country",
          "8=Fax", "9=OfficePhone", "10=HomePhone", "11=MobileNumber", "12=Anniversary", "13=Birthday", "14=Email",
          "15=Sex"}},
        {"another mail client",
         {"First Name", "Display Name", "Primary Email", "Work Phone", "Mobile Number", "Home ZipCode", "Organization"},
         {"0=FirstName", "2=Email", "3=OfficePhone", "4=MobileNumber", "5=Zip", "6=Organisation"}},
        {"a specific mobile column wins over a generic phone",
         {"Phone", "Cell", "Full Name"},
         {"1=MobileNumber", "2=FirstName"}},
        {"the first of equals wins", {"Mobile", "Mobile Number"}, {"0=MobileNumber"}},
    };
    for (const auto& c : cases) EXPECT_EQ(Matches(c.header), c.matches) << c.name;
    EXPECT_EQ(MapByHeader({"Notes", "Mobile", "Phone", "Nickname"}).unmapped, (std::vector<int32_t>{0, 2, 3}));
}

TEST(FindHeaderColumn, ComparesHeadersByTheirKey) {
    const std::vector<std::string> header = {"Mobile Phone", "Company"};
    EXPECT_EQ(FindHeaderColumn(header, "mobile-phone"), 0);
    EXPECT_EQ(FindHeaderColumn(header, " COMPANY "), 1);
    EXPECT_EQ(FindHeaderColumn(header, "Phone"), std::nullopt);
    EXPECT_EQ(FindHeaderColumn(header, "--"), std::nullopt);
}

}  // namespace
}  // namespace pelmar
