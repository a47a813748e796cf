#include "core/vcard_reader.h"

#include <gtest/gtest.h>

#include "core/vcard_lines.h"

namespace pelmar {
namespace {

using F = ContactField;

std::vector<VcardCard> ReadCards(std::string_view text, std::size_t pieceSize) {
    VcardReader reader(PiecesOf(text, pieceSize));
    std::vector<VcardCard> cards;
    for (VcardCard card; reader.Next(card);) cards.push_back(card);
    return cards;
}

// The card's non-empty fields as "Field=value|", in field order.
std::string Shown(const VcardCard& card) {
    std::string shown;
    for (const F field : kContactFields)
        if (!card[field].empty()) shown += std::string(FieldName(field)) + "=" + card[field] + "|";
    return shown;
}

TEST(VcardReader, MapsEachVersionsPropertiesToTheContactFields) {
    const struct {
        const char* name;
        std::string text;
        std::string fields;
    } cases[] = {
        {"2.1: quoted-printable in two character sets, soft breaks, bare types",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nNOTE;ENCODING=QUOTED-PRINTABLE:a soft break=\r\nTEL;CELL;PREF:000\r\n"
         "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:M=C3=BCller;J=C3=B6rg;;;\r\n"
         "FN;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:J=F6rg M=FCller\r\n"
         "TEL;HOME;VOICE:030 123456\r\nTEL;CELL;PREF:+49 170 1234567\r\nTEL;WORK;FAX:030 654321\r\n"
         "ADR;HOME;CHARSET=ISO-8859-1;ENCODING=QUOTED-PRINTABLE:;;Stra=DFe 1=0D=0A=\r\n"
         "Hinterhaus;K=F6ln;;50667;Deutschland\r\n"
         "END:VCARD\r\n",
         "FirstName=J\u00F6rg|LastName=M\u00FCller|Address=Stra\u00DFe 1\r\nHinterhaus|MobileNumber=+49 170 1234567|"
         "City=K\u00F6ln|Country=Deutschland|Zip=50667|HomePhone=030 123456|Fax=030 654321|"},
        {"3.0: groups, folded lines, lower case, extended address, escapes",
         "begin:vcard\nversion:3.0\nitem1.N:O\\;Brien;Jane;Q.;Dr.;\nFN:Jane Doe\n"
         "item2.TEL;type=WORK;type=VOICE:+1 555 0100\nitem3.TEL;TYPE=CELL:+1 555\n  0199\n"
         "item3.X-ABLabel:mobile\nEMAIL;TYPE=INTERNET:jane@exa\n\tmple.com\nORG:Acme\\, Inc.;Sales\n"
         "ADR;TYPE=WORK:PO Box 5;Suite 9;;Springfield;IL;62701;USA\nBDAY:1980-02-29\n"
         "X-ANNIVERSARY:20050611\nX-GENDER:Female\nend:vcard\n",
         "FirstName=Jane|MiddleName=Q.|LastName=O;Brien|Email=jane@example.com|Address=Suite 9|"
         "MobileNumber=+1 555 0199|Organisation=Acme, Inc.|Sex=F|City=Springfield|State=IL|Country=USA|"
         "Zip=62701|OfficePhone=+1 555 0100|Birthday=1980-02-29|Anniversary=2005-06-11|"},
        {"4.0: GENDER, typed and preferred TELs, tel: URIs, our own properties",
         "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Ravi Kumar\r\nN:Kumar;Ravi;;;\r\n"
         "TEL;VALUE=uri;TYPE=\"voice,cell\":tel:+91-98200-12345;ext=12\r\n"
         "TEL;VALUE=uri;TYPE=cell;PREF=1:tel:+91-98200-99999 \t\r\n"
         "TEL;TYPE=home:+91 22 2345 6789\r\nTEL;TYPE=\"work,fax\":+91 22 1111 2222\r\n"
         "TEL;TYPE=work;PREF=2:+91 22 3333 4444\r\nTEL;TYPE=work;PREF=1:+91 22 5555 6666\r\n"
         "EMAIL:ravi@home.example\r\nEMAIL;PREF=1:ravi@work.example\r\nGENDER:m;he/him\r\n"
         "BDAY:--0415\r\nANNIVERSARY:20100101T120000Z\r\nX-PELMAR-COUNTRYCODE:91\r\nX-PELMAR-AGE:44\r\n"
         "X-PELMAR-HOBBY:chess\\, cricket\\nand go\r\nX-PELMAR-REJECTED:line 1: Mobile\r\nEND:VCARD\r\n",
         "FirstName=Ravi|LastName=Kumar|Email=ravi@work.example|MobileNumber=+91-98200-99999|Sex=M|"
         "CountryCode=91|Age=44|HomePhone=+91 22 2345 6789|OfficePhone=+91 22 5555 6666|"
         "Fax=+91 22 1111 2222|Birthday=--04-15|Anniversary=2010-01-01|Hobby=chess, cricket\nand go|"},
        {"no usable mobile: typed numbers only",
         "BEGIN:VCARD\nVERSION:3.0\nN:Nomobile;Ned\nTEL;TYPE=HOME:111\nTEL;TYPE=WORK,VOICE:222\nEND:VCARD\n",
         "FirstName=Ned|LastName=Nomobile|HomePhone=111|OfficePhone=222|"},
        {"the first untyped or voice number is the mobile; FN without a given name",
         "BEGIN:VCARD\nVERSION:4.0\nN:Smith;;;;\nFN:Mr Smith\nTEL;TYPE=home:1\nTEL;TYPE=voice,pref:2\nTEL:3\n"
         "GENDER:U\nBDAY;X-APPLE-OMIT-YEAR=1604:1604-03-15\nANNIVERSARY;VALUE=text:circa 1990\nEND:VCARD\n",
         "FirstName=Mr Smith|LastName=Smith|MobileNumber=2|HomePhone=1|Birthday=--03-15|Anniversary=circa 1990|"},
        {"photos skipped: 2.1 base64 to a blank line, 3.0 folded",
         "BEGIN:VCARD\r\nVERSION:2.1\r\nN:Photo;Pat\r\nPHOTO;ENCODING=BASE64;TYPE=JPEG:\r\n /9j/4AAQSkZJRgABAQ\r\n"
         " TEL;CELL:999\r\n\r\nTEL;CELL:111\r\nEND:VCARD\r\n"
         "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Photo;Sam\r\nitem1.PHOTO;ENCODING=b;TYPE=JPEG:MIICajCCAdOgAwIBAgICBE\r\n"
         " TEL;TYPE=CELL:999\r\nLOGO;VALUE=uri:http://example.com/logo.png\r\nTEL;TYPE=CELL:222\r\nEND:VCARD\r\n",
         "FirstName=Pat|LastName=Photo|MobileNumber=111|"},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece : {c.text.size(), std::size_t{1}, std::size_t{3}}) {
            const auto cards = ReadCards(c.text, piece);
            ASSERT_FALSE(cards.empty()) << c.name;
            EXPECT_EQ(Shown(cards.front()), c.fields) << c.name << ", pieces of " << piece;
            EXPECT_EQ(cards.front().line, 1) << c.name;
        }
    }
}

TEST(VcardReader, GivesEveryCardWithTheLineOfItsBegin) {
    const std::string text =
        "\xEF\xBB\xBFjunk before\r\n\r\n"
        "BEGIN:VCARD\rVERSION:2.1\rN:One\rAGENT:\rBEGIN:VCARD\rN:Agent;Nested\rEND:VCARD\rTEL:1\rEND:VCARD\r"
        "Begin:VCard\nN:Two\nTEL:2\nEnd:VCard\n"
        "x.BEGIN:VCARD\r\nN:Three\r\nTEL:3";  // cut short by the end of the file
    for (const std::size_t piece : {text.size(), std::size_t{1}, std::size_t{2}}) {
        const auto cards = ReadCards(text, piece);
        std::string seen;  // line:LastName:MobileNumber of each card
        for (const VcardCard& card : cards)
            seen += std::to_string(card.line) + ":" + card[F::LastName] + ":" + card[F::MobileNumber] + " ";
        EXPECT_EQ(seen, "3:One:1 12:Two:2 16:Three:3 ") << "pieces of " << piece;
    }
}

}  // namespace
}  // namespace pelmar
