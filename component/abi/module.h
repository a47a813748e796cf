#pragma once
// The library's own bookkeeping: how many objects are alive and how many
// locks the hosts hold, for DllCanUnloadNow. Objects may end on any thread.
#include "component/abi/pelmar_impexp.h"

namespace pelmar::abi {

void ObjectCreated() noexcept;
void ObjectDestroyed() noexcept;
void LockModule(bool lock) noexcept;
bool ModuleInUse() noexcept;

bool SameGuid(const PelmarGuid& a, const PelmarGuid& b) noexcept;

// A new Manager object (reference count 1) as `iid`.
pelmar_status CreateManagerObject(const PelmarGuid* iid, void** out) noexcept;
// A new class factory for Manager objects as `iid`.
pelmar_status CreateClassFactory(const PelmarGuid* iid, void** out) noexcept;

}  // namespace pelmar::abi
