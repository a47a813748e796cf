#pragma once
// The component's type information, defined once: the C ABI hands it out and
// `pelmar typelib` prints it, so the two cannot disagree.
#include <string>

#include "component/abi/pelmar_impexp.h"

namespace pelmar {

const PelmarTypeLibDesc& TypeLibrary();
const PelmarInterfaceDesc& ManagerInterface();

// The member with this name (any case) and invoke kind, or null.
const PelmarFuncDesc* FindMember(const char* name, int32_t invokeKind);
// The first member with this name (any case), or null.
const PelmarFuncDesc* FindMember(const char* name);
// The member with this dispatch id and invoke kind, or null.
const PelmarFuncDesc* FindMember(int32_t dispid, int32_t invokeKind);

// "{6B1D3E53-4C8A-4F0E-9A61-2E7D0B5C13A1}"
std::string GuidText(const PelmarGuid& guid);

// The whole library as readable text, for `pelmar typelib`.
std::string TypeLibraryText(const PelmarTypeLibDesc& library);

}  // namespace pelmar
