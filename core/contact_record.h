#pragma once
// ContactRecord: one listed record as the import run stores it, after its
// values were read through the column mapping and normalised.
#include <cstdint>
#include <string>

namespace pelmar {

struct ContactRecord {
    std::string FirstName;
    std::string MiddleName;
    std::string LastName;
    std::string MobileNumber;
    std::string Email;
    std::string Address;
    std::string Organisation;
    std::string Sex;
    std::string CountryCode;
    int32_t Age = 0;
    std::string City;
    std::string State;
    std::string Country;
    std::string Zip;
    std::string HomePhone;
    std::string OfficePhone;
    std::string Fax;
    std::string Birthday;
    std::string Anniversary;
    std::string Hobby;

    // True when the address as read held text and failed the e-mail check, so
    // Email was cleared: the run logs a warning once the record is stored.
    bool EmailRejected = false;
};

}  // namespace pelmar
