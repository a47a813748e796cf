#include "component/abi/module.h"

#include <atomic>
#include <cstring>

#include "pelmar_version.h"

#include "component/abi/registry.h"
#include "component/abi/status.h"
#include "component/component_folder.h"
#include "component/type_library.h"

namespace pelmar::abi {

namespace {
std::atomic<long> gObjects{0};
std::atomic<long> gLocks{0};
}  // namespace

void ObjectCreated() noexcept { ++gObjects; }
void ObjectDestroyed() noexcept { --gObjects; }
void LockModule(bool lock) noexcept {
    if (lock)
        ++gLocks;
    else
        --gLocks;
}
bool ModuleInUse() noexcept { return gObjects > 0 || gLocks > 0; }

bool SameGuid(const PelmarGuid& a, const PelmarGuid& b) noexcept {
    return a.Data1 == b.Data1 && a.Data2 == b.Data2 && a.Data3 == b.Data3 &&
           std::memcmp(a.Data4, b.Data4, sizeof a.Data4) == 0;
}

}  // namespace pelmar::abi

using namespace pelmar;
using namespace pelmar::abi;

extern "C" {

PELMAR_API pelmar_status DllGetClassObject(const PelmarGuid* clsid, const PelmarGuid* iid, void** out) {
    return Guard([&]() -> pelmar_status {
        if (!out) return Fail(PELMAR_E_POINTER, "DllGetClassObject: no place for the result");
        *out = nullptr;
        if (!clsid || !iid) return Fail(PELMAR_E_POINTER, "DllGetClassObject: no class or interface id");
        if (!SameGuid(*clsid, PELMAR_CLSID_Manager))
            return Fail(PELMAR_CLASS_E_CLASSNOTAVAILABLE,
                        "DllGetClassObject: class " + GuidText(*clsid) + " is not served here");
        return CreateClassFactory(iid, out);
    });
}

PELMAR_API pelmar_status DllCanUnloadNow(void) {
    // Through Guard like every call that returns a status, for the last-error rule.
    return Guard([]() { return ModuleInUse() ? PELMAR_S_FALSE : PELMAR_S_OK; });
}

PELMAR_API pelmar_status DllRegisterServer(void) {
    return Guard([]() -> pelmar_status {
        try {
            RegisterClass(PELMAR_PROGID_MANAGER, GuidText(PELMAR_CLSID_Manager), ComponentFile());
            return PELMAR_S_OK;
        } catch (const std::exception& e) {
            return Fail(PELMAR_SELFREG_E_CLASS, std::string("DllRegisterServer: ") + e.what());
        }
    });
}

PELMAR_API pelmar_status DllUnregisterServer(void) {
    return Guard([]() -> pelmar_status {
        try {
            UnregisterClass(PELMAR_PROGID_MANAGER, GuidText(PELMAR_CLSID_Manager));
            return PELMAR_S_OK;
        } catch (const std::exception& e) {
            return Fail(PELMAR_SELFREG_E_CLASS, std::string("DllUnregisterServer: ") + e.what());
        }
    });
}

PELMAR_API pelmar_status PelmarGetTypeLibrary(const PelmarTypeLibDesc** out) {
    return Guard([&]() -> pelmar_status {
        if (!out) return Fail(PELMAR_E_POINTER, "PelmarGetTypeLibrary: no place for the result");
        *out = &TypeLibrary();
        return PELMAR_S_OK;
    });
}

PELMAR_API const char* PelmarGetLastErrorText(void) { return LastErrorText(); }

PELMAR_API void PelmarGetVersion(int* major, int* minor, int* patch) {
    if (major) *major = PELMAR_VERSION_MAJOR;
    if (minor) *minor = PELMAR_VERSION_MINOR;
    if (patch) *patch = PELMAR_VERSION_PATCH;
}

}  // extern "C"
