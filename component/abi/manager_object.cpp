#include "component/abi/manager_object.h"

#include <type_traits>

#include "component/abi/host_memory.h"
#include "component/abi/module.h"
#include "component/abi/status.h"

namespace pelmar::abi {

namespace {

static_assert(std::is_standard_layout_v<ManagerObject>);

std::string TextOf(const char* text) { return text ? text : ""; }

pelmar_status QueryInterface(PelmarManager* self, const PelmarGuid* iid, void** out) {
    return Guard([&]() -> pelmar_status {
        if (!out) return Fail(PELMAR_E_POINTER, "QueryInterface: no place for the result");
        *out = nullptr;
        if (!iid) return Fail(PELMAR_E_POINTER, "QueryInterface: no interface id");
        if (!SameGuid(*iid, PELMAR_IID_IUnknown) && !SameGuid(*iid, PELMAR_IID_IDispatch) &&
            !SameGuid(*iid, PELMAR_IID_Manager))
            return Fail(PELMAR_E_NOINTERFACE, "QueryInterface: Manager does not have that interface");
        ++ObjectOf(self).refs;
        *out = self;
        return PELMAR_S_OK;
    });
}

uint32_t AddRef(PelmarManager* self) { return ++ObjectOf(self).refs; }

uint32_t Release(PelmarManager* self) {
    ManagerObject* object = &ObjectOf(self);
    const uint32_t left = --object->refs;
    if (left == 0) {
        delete object;  // the Manager's end unloads the windows of its thread
        ObjectDestroyed();
    }
    return left;
}

pelmar_status GetLogFile(PelmarManager* self, char** out) {
    return Guard([&]() -> pelmar_status {
        if (!out) return Fail(PELMAR_E_POINTER, "LogFile: no place for the result");
        *out = nullptr;
        *out = HostText(ObjectOf(self).manager.LogFile());
        return PELMAR_S_OK;
    });
}

pelmar_status PutLogFile(PelmarManager* self, const char** LogFile) {
    return Guard([&]() -> pelmar_status {
        if (!LogFile) return Fail(PELMAR_E_POINTER, "LogFile: no value");
        ObjectOf(self).manager.SetLogFile(TextOf(*LogFile));
        return PELMAR_S_OK;
    });
}

pelmar_status Init(PelmarManager* self, const char* p_ClientDBString, const char* p_RemoteDBString,
                   PelmarRunApplicationAt p_Runfor, const char** LogFile) {
    return Guard([&]() -> pelmar_status {
        ObjectOf(self).manager.Init(TextOf(p_ClientDBString), TextOf(p_RemoteDBString),
                                    static_cast<RunApplicationAt>(p_Runfor),
                                    LogFile ? TextOf(*LogFile) : std::string());
        return PELMAR_S_OK;
    });
}

pelmar_status ImportContacts(PelmarManager* self, int32_t* User_ID, int32_t* result) {
    return Guard([&]() -> pelmar_status {
        if (!User_ID || !result) return Fail(PELMAR_E_POINTER, "ImportContacts: missing argument");
        *result = ObjectOf(self).manager.ImportContacts(*User_ID);
        return PELMAR_S_OK;
    });
}

pelmar_status ExportContacts(PelmarManager* self, int32_t* User_ID, int32_t* result) {
    return Guard([&]() -> pelmar_status {
        if (!User_ID || !result) return Fail(PELMAR_E_POINTER, "ExportContacts: missing argument");
        *result = ObjectOf(self).manager.ExportContacts(*User_ID);
        return PELMAR_S_OK;
    });
}

const PelmarManagerVtbl kManagerTable = {
    QueryInterface,
    AddRef,
    Release,
    ManagerGetTypeInfoCount,
    ManagerGetTypeInfo,
    ManagerGetIDsOfNames,
    ManagerInvoke,
    GetLogFile,
    PutLogFile,
    Init,
    ImportContacts,
    ExportContacts,
};

}  // namespace

pelmar_status CreateManagerObject(const PelmarGuid* iid, void** out) noexcept {
    return Guard([&]() -> pelmar_status {
        if (!out) return Fail(PELMAR_E_POINTER, "CreateInstance: no place for the result");
        *out = nullptr;
        auto* object = new ManagerObject{{&kManagerTable}, {1}, {}};
        ObjectCreated();
        PelmarManager* self = &object->iface;
        const pelmar_status status = self->lpVtbl->QueryInterface(self, iid, out);
        self->lpVtbl->Release(self);
        return status;
    });
}

}  // namespace pelmar::abi
