#include "core/vcard_writer.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "common/error.h"
#include "core/contact_field.h"
#include "core/vcard_reader.h"
#include "core/vcard_values.h"

namespace pelmar {
namespace {

using F = ContactField;

std::vector<std::string> Contact(std::initializer_list<std::pair<F, std::string>> values) {
    std::vector<std::string> fields(kContactFieldCount);
    for (const auto& [field, value] : values) fields[static_cast<std::size_t>(FieldIndex(field) - 1)] = value;
    return fields;
}

TEST(VcardOf, WritesEachVersionsPropertiesForTheFields) {
    const auto contact = Contact({{F::FirstName, "Ravi"},
                                  {F::LastName, "Kumar"},
                                  {F::MobileNumber, "+919820012345"},
                                  {F::HomePhone, "022 2345"},
                                  {F::Fax, "(022)1111"},
                                  {F::Organisation, "Acme; Sales"},
                                  {F::City, "Mumbai"},
                                  {F::Sex, "M"},
                                  {F::Birthday, "--04-15"},
                                  {F::Anniversary, "2010-01-31"},
                                  {F::Age, "44"},
                                  {F::Hobby, "chess, go\\n"}});
    EXPECT_EQ(VcardOf(contact, VcardVersion::V4_0),
              "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ravi Kumar\r\nN:Kumar;Ravi;;;\r\nORG:Acme\\; Sales\r\n"
              "TEL;VALUE=uri;TYPE=cell:tel:+919820012345\r\nTEL;VALUE=text;TYPE=home:022 2345\r\n"
              "TEL;VALUE=uri;TYPE=fax:tel:(022)1111\r\nADR:;;;Mumbai;;;\r\nBDAY:--0415\r\n"
              "ANNIVERSARY:20100131\r\nGENDER:M\r\nX-PELMAR-AGE:44\r\nX-PELMAR-HOBBY:chess\\, go\\\\n\r\n"
              "END:VCARD\r\n");
    EXPECT_EQ(VcardOf(contact, VcardVersion::V3_0),
              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ravi Kumar\r\nN:Kumar;Ravi;;;\r\nORG:Acme\\; Sales\r\n"
              "TEL;TYPE=CELL:+919820012345\r\nTEL;TYPE=HOME:022 2345\r\nTEL;TYPE=FAX:(022)1111\r\n"
              "ADR:;;;Mumbai;;;\r\nBDAY:--04-15\r\nX-ANNIVERSARY:2010-01-31\r\nX-GENDER:Male\r\n"
              "X-PELMAR-AGE:44\r\nX-PELMAR-HOBBY:chess\\, go\\\\n\r\nEND:VCARD\r\n");
    EXPECT_THROW(VcardOf(std::vector<std::string>(19), VcardVersion::V4_0), Error);
}

// Folded to lines of at most 75 octets, never inside a character.
TEST(VcardOf, ReadsBackAsTheSameTwentyFieldsFromFoldedLines) {
    const std::vector<std::string> alphabet = {
        "a",  "Z", " ",   ",", ";", "\\", ":", "\n", "=", "\xC3\xA9", "\xE6\x9D\xB1", "\xF0\x9F\x98\x80",
        "\"", "n", "tel:"};
    const std::vector<std::string> phones = {"",           "+919820012345", "98200 12345", "(022) 2345-678",
                                             "1.555.0100", "12;ext=3"};
    const std::vector<std::string> dates = {"", "1990-04-12", "--02-29", "12/04/1990", "19900412", "1990-13-45"};
    std::mt19937 random(20);
    const auto text = [&](std::size_t most) {
        std::string value;
        for (std::size_t k = random() % (most + 1); k > 0; --k) value += alphabet[random() % alphabet.size()];
        return value;
    };
    for (int n = 0; n < 400; ++n) {
        std::vector<std::string> fields(kContactFieldCount);
        for (std::string& field : fields) field = text(n % 10 == 0 ? 60 : 8);
        std::string& first = fields[FieldIndex(F::FirstName) - 1];
        first = "N" + first;  // every contact has a name; a blank one is not stored
        for (const F phone : {F::MobileNumber, F::HomePhone, F::OfficePhone, F::Fax})
            fields[FieldIndex(phone) - 1] = phones[random() % phones.size()];
        for (const F date : {F::Birthday, F::Anniversary})
            fields[FieldIndex(date) - 1] = dates[random() % dates.size()];
        fields[FieldIndex(F::Sex) - 1] = std::vector<std::string>{"", "M", "F"}[random() % 3];
        for (const VcardVersion version : {VcardVersion::V4_0, VcardVersion::V3_0}) {
            const std::string card = VcardOf(fields, version);
            for (std::size_t at = 0, end; (end = card.find("\r\n", at)) != std::string::npos; at = end + 2) {
                EXPECT_LE(end - at, 75u) << card;
                EXPECT_NE(static_cast<unsigned char>(card[at + 1]) & 0xC0, 0x80) << card;
            }
            VcardReader reader(PiecesOf(card, 1 + random() % 40));
            VcardCard read;
            ASSERT_TRUE(reader.Next(read));
            EXPECT_EQ(std::vector<std::string>(read.fields.begin(), read.fields.end()), fields)
                << VersionText(version) << ":\n"
                << card;
        }
    }
}

}  // namespace
}  // namespace pelmar
