#pragma once
// The Manager object of the C ABI: the dual interface's function table over
// one pelmar::Manager.
#include <atomic>
#include <cstdint>

#include "component/abi/pelmar_impexp.h"
#include "component/manager.h"

namespace pelmar::abi {

// Standard layout with the interface first, so that the interface pointer
// is the object's (the Manager is held by value: a unique_ptr is not
// standard layout with every compiler).
struct ManagerObject {
    PelmarManager iface;
    std::atomic<uint32_t> refs;
    pelmar::Manager manager;
};

inline ManagerObject& ObjectOf(PelmarManager* self) { return *reinterpret_cast<ManagerObject*>(self); }

// The dispatch half of the table (dispatch.cpp).
pelmar_status ManagerGetTypeInfoCount(PelmarManager* self, uint32_t* count);
pelmar_status ManagerGetTypeInfo(PelmarManager* self, uint32_t index, uint32_t lcid, const PelmarInterfaceDesc** out);
pelmar_status ManagerGetIDsOfNames(PelmarManager* self, const PelmarGuid* iid, const char* const* names, uint32_t count,
                                   uint32_t lcid, int32_t* dispids);
pelmar_status ManagerInvoke(PelmarManager* self, int32_t dispid, const PelmarGuid* iid, uint32_t lcid, uint16_t flags,
                            const PelmarDispParams* params, PelmarVariant* result, uint32_t* argError);

}  // namespace pelmar::abi
