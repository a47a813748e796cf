#pragma once
// The component's public enumerations, 32-bit signed. A variable of one of
// these types may hold any 32-bit value (the host passes RunAt unchecked).
#include <cstdint>

namespace pelmar {

enum RunApplicationAt : int32_t { RuntAtClient = 0, RuntAtServer = 1 };

enum UserType : int32_t { GeneralUser = 0, Administrator = 1 };

enum ImportToType : int32_t { SharedFolder = 0, SharedGroup = 1, LocalFolder = 2, LocalGroup = 3 };

}  // namespace pelmar
