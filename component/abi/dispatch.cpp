// The dispatch path of the Manager: members called by name, with arguments
// in PelmarVariant. It calls the same function table the host can call, so
// both paths behave alike.
#include <strings.h>

#include <string>
#include <vector>

#include "common/error.h"
#include "common/text.h"
#include "component/abi/host_memory.h"
#include "component/abi/manager_object.h"
#include "component/abi/module.h"
#include "component/abi/status.h"
#include "component/type_library.h"

namespace pelmar::abi {

namespace {

// An argument that cannot take the parameter's type.
struct ArgumentMismatch {
    uint32_t position;
};

std::string ArgumentText(const PelmarVariant& v, uint32_t position) {
    switch (v.vt) {
        case PELMAR_VT_EMPTY: return {};
        case PELMAR_VT_I4: return std::to_string(v.value.i4);
        case PELMAR_VT_TEXT: return v.value.text ? v.value.text : "";
        default: throw ArgumentMismatch{position};
    }
}

int32_t ArgumentInt(const PelmarVariant& v, uint32_t position) {
    switch (v.vt) {
        case PELMAR_VT_EMPTY: return 0;
        case PELMAR_VT_I4: return v.value.i4;
        case PELMAR_VT_TEXT: try { return ToInt32(v.value.text ? v.value.text : "");
            } catch (const Error&) {
                throw ArgumentMismatch{position};
            }
        default: throw ArgumentMismatch{position};
    }
}

bool IsNullIid(const PelmarGuid* iid) { return !iid || SameGuid(*iid, PELMAR_IID_NULL); }

const PelmarFuncDesc* MemberFor(int32_t dispid, uint16_t flags) {
    if (flags & PELMAR_DISPATCH_PROPERTYPUT) return FindMember(dispid, PELMAR_INVOKE_PROPERTYPUT);
    const PelmarFuncDesc* member = nullptr;
    if (flags & PELMAR_DISPATCH_METHOD) member = FindMember(dispid, PELMAR_INVOKE_METHOD);
    // A property read may come as a method call, as scripting hosts make it.
    if (!member && (flags & (PELMAR_DISPATCH_PROPERTYGET | PELMAR_DISPATCH_METHOD)))
        member = FindMember(dispid, PELMAR_INVOKE_PROPERTYGET);
    return member;
}

uint32_t RequiredCount(const PelmarFuncDesc& member) {
    uint32_t required = 0;
    for (uint32_t i = 0; i < member.param_count; ++i)
        if (!(member.params[i].flags & PELMAR_PARAM_OPTIONAL)) required = i + 1;
    return required;
}

pelmar_status Call(PelmarManager* self, const PelmarFuncDesc& member, const PelmarVariant* args, uint32_t count,
                   PelmarVariant* result) {
    const PelmarManagerVtbl& table = *self->lpVtbl;
    switch (member.dispid * 8 + member.invoke_kind) {
        case PELMAR_DISPID_LogFile * 8 + PELMAR_INVOKE_PROPERTYGET: {
            char* text = nullptr;
            const pelmar_status status = table.get_LogFile(self, &text);
            if (PELMAR_SUCCEEDED(status) && result) {
                result->vt = PELMAR_VT_TEXT;
                result->value.text = text;
            } else {
                FreeHostText(text);
            }
            return status;
        }
        case PELMAR_DISPID_LogFile * 8 + PELMAR_INVOKE_PROPERTYPUT: {
            const std::string value = ArgumentText(args[0], 0);
            const char* text = value.c_str();
            return table.put_LogFile(self, &text);
        }
        case PELMAR_DISPID_Init * 8 + PELMAR_INVOKE_METHOD: {
            const std::string client = ArgumentText(args[0], 0);
            const std::string remote = ArgumentText(args[1], 1);
            const int32_t runfor = ArgumentInt(args[2], 2);
            // Left out, or passed empty: the optional LogFile takes its default.
            const bool hasLogFile = count > 3 && args[3].vt != PELMAR_VT_EMPTY;
            const std::string logFile = hasLogFile ? ArgumentText(args[3], 3) : std::string();
            const char* logFileText = logFile.c_str();
            return table.Init(self, client.c_str(), remote.c_str(), runfor, hasLogFile ? &logFileText : nullptr);
        }
        case PELMAR_DISPID_ImportContacts * 8 + PELMAR_INVOKE_METHOD:
        case PELMAR_DISPID_ExportContacts * 8 + PELMAR_INVOKE_METHOD: {
            int32_t userId = ArgumentInt(args[0], 0);
            int32_t value = 0;
            const pelmar_status status = member.dispid == PELMAR_DISPID_ImportContacts
                                             ? table.ImportContacts(self, &userId, &value)
                                             : table.ExportContacts(self, &userId, &value);
            if (PELMAR_SUCCEEDED(status) && result) {
                result->vt = PELMAR_VT_I4;
                result->value.i4 = value;
            }
            return status;
        }
        default:
            return Fail(PELMAR_DISP_E_MEMBERNOTFOUND,
                        std::string("Invoke: ") + member.name + " cannot be called this way");
    }
}

}  // namespace

pelmar_status ManagerGetTypeInfoCount(PelmarManager*, uint32_t* count) {
    return Guard([&]() -> pelmar_status {
        if (!count) return Fail(PELMAR_E_POINTER, "GetTypeInfoCount: no place for the result");
        *count = 1;
        return PELMAR_S_OK;
    });
}

pelmar_status ManagerGetTypeInfo(PelmarManager*, uint32_t index, uint32_t, const PelmarInterfaceDesc** out) {
    return Guard([&]() -> pelmar_status {
        if (!out) return Fail(PELMAR_E_POINTER, "GetTypeInfo: no place for the result");
        *out = nullptr;
        if (index != 0) return Fail(PELMAR_DISP_E_BADINDEX, "GetTypeInfo: there is one type only");
        *out = &ManagerInterface();
        return PELMAR_S_OK;
    });
}

namespace {

// The position of the parameter called `name` (any case), or -1.
int32_t ParameterPosition(const PelmarFuncDesc* member, const char* name) {
    for (uint32_t p = 0; member && name && p < member->param_count; ++p)
        if (strcasecmp(member->params[p].name, name) == 0) return static_cast<int32_t>(p);
    return -1;
}

}  // namespace

pelmar_status ManagerGetIDsOfNames(PelmarManager*, const PelmarGuid* iid, const char* const* names, uint32_t count,
                                   uint32_t, int32_t* dispids) {
    return Guard([&]() -> pelmar_status {
        if (!IsNullIid(iid)) return Fail(PELMAR_DISP_E_UNKNOWNINTERFACE, "GetIDsOfNames: iid must be null");
        if (count == 0) return PELMAR_S_OK;
        if (!names || !dispids) return Fail(PELMAR_E_POINTER, "GetIDsOfNames: missing argument");
        for (uint32_t i = 0; i < count; ++i) dispids[i] = -1;
        const PelmarFuncDesc* member = names[0] ? FindMember(names[0]) : nullptr;
        if (!member)
            return Fail(PELMAR_DISP_E_UNKNOWNNAME,
                        std::string("GetIDsOfNames: unknown name '") + (names[0] ? names[0] : "") + "'");
        dispids[0] = member->dispid;
        // The parameters of the method, or of the property's assignment.
        const PelmarFuncDesc* withParams =
            member->param_count ? member : FindMember(member->name, PELMAR_INVOKE_PROPERTYPUT);
        const char* unknown = nullptr;
        for (uint32_t i = 1; i < count; ++i) {
            dispids[i] = ParameterPosition(withParams, names[i]);
            if (dispids[i] < 0 && !unknown) unknown = names[i] ? names[i] : "";
        }
        if (unknown)
            return Fail(PELMAR_DISP_E_UNKNOWNNAME,
                        std::string("GetIDsOfNames: unknown parameter name '") + unknown + "'");
        return PELMAR_S_OK;
    });
}

pelmar_status ManagerInvoke(PelmarManager* self, int32_t dispid, const PelmarGuid* iid, uint32_t, uint16_t flags,
                            const PelmarDispParams* params, PelmarVariant* result, uint32_t* argError) {
    return Guard([&]() -> pelmar_status {
        if (result) *result = PelmarVariant{};
        if (!IsNullIid(iid)) return Fail(PELMAR_DISP_E_UNKNOWNINTERFACE, "Invoke: iid must be null");
        const PelmarFuncDesc* member = MemberFor(dispid, flags);
        if (!member)
            return Fail(PELMAR_DISP_E_MEMBERNOTFOUND,
                        "Invoke: no member with dispatch id " + std::to_string(dispid) + " for these flags");
        const uint32_t count = params ? params->count : 0;
        if (count > 0 && !params->args) return Fail(PELMAR_E_POINTER, "Invoke: no arguments");
        if (count > member->param_count || count < RequiredCount(*member))
            return Fail(PELMAR_DISP_E_BADPARAMCOUNT,
                        std::string("Invoke: wrong number of arguments for ") + member->name);
        // Arguments left out at the end are empty.
        std::vector<PelmarVariant> args(member->param_count, PelmarVariant{});
        for (uint32_t i = 0; i < count; ++i) args[i] = params->args[i];
        try {
            return Call(self, *member, args.data(), count, result);
        } catch (const ArgumentMismatch& mismatch) {
            if (argError) *argError = mismatch.position;
            return Fail(PELMAR_DISP_E_TYPEMISMATCH, std::string("Invoke: argument ") +
                                                        member->params[mismatch.position].name + " of " + member->name +
                                                        " has the wrong type");
        }
    });
}

}  // namespace pelmar::abi
