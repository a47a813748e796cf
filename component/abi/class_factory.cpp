// The class factory of Manager objects, as DllGetClassObject hands it out.
#include <atomic>
#include <type_traits>

#include "component/abi/module.h"
#include "component/abi/status.h"

namespace pelmar::abi {

namespace {

struct Factory {
    PelmarClassFactory iface;  // first, so the interface pointer is the object's
    std::atomic<uint32_t> refs;
};
static_assert(std::is_standard_layout_v<Factory>);

Factory& FactoryOf(PelmarClassFactory* self) { return *reinterpret_cast<Factory*>(self); }

pelmar_status QueryInterface(PelmarClassFactory* self, const PelmarGuid* iid, void** out) {
    return Guard([&]() -> pelmar_status {
        if (!out) return Fail(PELMAR_E_POINTER, "QueryInterface: no place for the result");
        *out = nullptr;
        if (!iid) return Fail(PELMAR_E_POINTER, "QueryInterface: no interface id");
        if (!SameGuid(*iid, PELMAR_IID_IUnknown) && !SameGuid(*iid, PELMAR_IID_IClassFactory))
            return Fail(PELMAR_E_NOINTERFACE, "QueryInterface: the class factory does not have that interface");
        ++FactoryOf(self).refs;
        *out = self;
        return PELMAR_S_OK;
    });
}

uint32_t AddRef(PelmarClassFactory* self) { return ++FactoryOf(self).refs; }

uint32_t Release(PelmarClassFactory* self) {
    Factory* factory = &FactoryOf(self);
    const uint32_t left = --factory->refs;
    if (left == 0) {
        delete factory;
        ObjectDestroyed();
    }
    return left;
}

pelmar_status CreateInstance(PelmarClassFactory*, PelmarUnknown* outer, const PelmarGuid* iid, void** out) {
    return Guard([&]() -> pelmar_status {
        if (!out) return Fail(PELMAR_E_POINTER, "CreateInstance: no place for the result");
        *out = nullptr;
        if (outer) return Fail(PELMAR_CLASS_E_NOAGGREGATION, "CreateInstance: Manager cannot be aggregated");
        return CreateManagerObject(iid, out);
    });
}

pelmar_status LockServer(PelmarClassFactory*, int32_t lock) {
    return Guard([&]() {
        LockModule(lock != 0);
        return PELMAR_S_OK;
    });
}

const PelmarClassFactoryVtbl kFactoryTable = {QueryInterface, AddRef, Release, CreateInstance, LockServer};

}  // namespace

pelmar_status CreateClassFactory(const PelmarGuid* iid, void** out) noexcept {
    return Guard([&]() -> pelmar_status {
        auto* factory = new Factory{{&kFactoryTable}, {1}};
        ObjectCreated();
        PelmarClassFactory* self = &factory->iface;
        const pelmar_status status = QueryInterface(self, iid, out);
        Release(self);
        return status;
    });
}

}  // namespace pelmar::abi
