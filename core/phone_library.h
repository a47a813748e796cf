#pragma once
// libphonenumber's one PhoneNumberUtil, for the phone_*.cpp files only: the
// rest of the component never sees libphonenumber's types. The instance is
// process-wide and its const members are safe on any thread.
#include <phonenumbers/phonenumberutil.h>

namespace pelmar {

const i18n::phonenumbers::PhoneNumberUtil& PhoneUtil();

}  // namespace pelmar
