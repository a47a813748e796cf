#pragma once
// Reading vCard files (2.1, 3.0 and 4.0, any number of cards) as contacts of
// the twenty fields, one card at a time:
//   N (family; given; additional) to LastName, FirstName, MiddleName, and FN
//     to FirstName when N has no given name;
//   MobileNumber from the TELs typed cell (the preferred one, else the
//     first), else the first TEL whose only types are voice and pref or that
//     has none; HomePhone, OfficePhone and Fax from the TELs typed home, work
//     and fax but not cell (preferred first, else the first; a fax number is
//     the fax whatever else it is);
//   Email from the preferred EMAIL, else the first; from the preferred ADR,
//     else the first: the street (the extended address when the street is
//     empty) to Address, then City, State, Zip and Country;
//   the first component of ORG; BDAY and ANNIVERSARY (X-ANNIVERSARY in 3.0)
//     as ISO dates; GENDER and X-GENDER to Sex; X-PELMAR-COUNTRYCODE,
//     X-PELMAR-AGE and X-PELMAR-HOBBY, which the writer adds for the fields
//     vCard has no property for.
// Everything else (NOTE, photos, X-PELMAR-REJECTED) is not read. The values
// are as the card holds them, unescaped; checking and normalising them is
// the import's job, as for any other source.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/contact_field.h"
#include "core/text_file.h"
#include "core/vcard_lines.h"

namespace pelmar {

struct VcardCard {
    int32_t line = 0;                                    // of its BEGIN:VCARD
    std::array<std::string, kContactFieldCount> fields;  // FirstName .. Hobby

    std::string& operator[](ContactField field) { return fields[static_cast<std::size_t>(FieldIndex(field) - 1)]; }
    const std::string& operator[](ContactField field) const {
        return fields[static_cast<std::size_t>(FieldIndex(field) - 1)];
    }
};

class VcardReader {
public:
    // The file at `path`, decoded as text_file.h describes.
    explicit VcardReader(const std::string& path);
    // Text decoded already.
    explicit VcardReader(TextPieces pieces);
    ~VcardReader();

    // The next card; false when none is left. A card that the end of the
    // file cuts short is a card too; text outside cards and cards nested in
    // a card (a 2.1 AGENT) are skipped.
    bool Next(VcardCard& card);

    // Physical lines read so far, for a progress bar.
    int32_t LinesRead() const noexcept { return properties_.LinesRead(); }
    // How the file was decoded (UTF-8 for text given decoded).
    const EncodingChoice& Choice() const noexcept { return choice_; }

private:
    std::unique_ptr<TextFileReader> file_;
    EncodingChoice choice_;
    VcardPropertyReader properties_;
    VcardProperty property_;
};

}  // namespace pelmar
