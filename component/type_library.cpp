#include "component/type_library.h"

#include <strings.h>

#include <cstdio>

namespace pelmar {

namespace {

constexpr uint32_t kIn = PELMAR_PARAM_IN;
constexpr uint32_t kByRef = PELMAR_PARAM_BYREF;
constexpr uint32_t kOptional = PELMAR_PARAM_OPTIONAL;

// Slots of the function table: IUnknown 0-2, IDispatch 3-6, then the members.
constexpr uint32_t kFirstMemberSlot = 7;

const PelmarParamDesc kPutLogFileParams[] = {
    {"LogFile", PELMAR_TYPE_TEXT, nullptr, kIn | kByRef, nullptr},
};
const PelmarParamDesc kInitParams[] = {
    {"p_ClientDBString", PELMAR_TYPE_TEXT, nullptr, kIn, nullptr},
    {"p_RemoteDBString", PELMAR_TYPE_TEXT, nullptr, kIn, nullptr},
    {"p_Runfor", PELMAR_TYPE_ENUM, "RunApplicationAt", kIn, nullptr},
    {"LogFile", PELMAR_TYPE_TEXT, nullptr, kIn | kByRef | kOptional, ""},
};
const PelmarParamDesc kUserIdParams[] = {
    {"User_ID", PELMAR_TYPE_I4, nullptr, kIn | kByRef, nullptr},
};

const PelmarFuncDesc kManagerFuncs[] = {
    {"LogFile", PELMAR_DISPID_LogFile, PELMAR_INVOKE_PROPERTYGET, kFirstMemberSlot + 0, PELMAR_TYPE_TEXT, nullptr, 0},
    {"LogFile", PELMAR_DISPID_LogFile, PELMAR_INVOKE_PROPERTYPUT, kFirstMemberSlot + 1, PELMAR_TYPE_VOID,
     kPutLogFileParams, 1},
    {"Init", PELMAR_DISPID_Init, PELMAR_INVOKE_METHOD, kFirstMemberSlot + 2, PELMAR_TYPE_VOID, kInitParams, 4},
    {"ImportContacts", PELMAR_DISPID_ImportContacts, PELMAR_INVOKE_METHOD, kFirstMemberSlot + 3, PELMAR_TYPE_I4,
     kUserIdParams, 1},
    {"ExportContacts", PELMAR_DISPID_ExportContacts, PELMAR_INVOKE_METHOD, kFirstMemberSlot + 4, PELMAR_TYPE_I4,
     kUserIdParams, 1},
};

const PelmarInterfaceDesc kInterfaces[] = {
    {"_Manager", PELMAR_IID_Manager, PELMAR_INTERFACE_DUAL, kManagerFuncs, 5},
};

const PelmarClassDesc kClasses[] = {
    {"Manager", PELMAR_PROGID_MANAGER, PELMAR_CLSID_Manager, &kInterfaces[0]},
};

const PelmarEnumMember kRunApplicationAt[] = {
    {"RuntAtClient", PELMAR_RuntAtClient},
    {"RuntAtServer", PELMAR_RuntAtServer},
};
const PelmarEnumMember kUserType[] = {
    {"GeneralUser", PELMAR_GeneralUser},
    {"Administrator", PELMAR_Administrator},
};
const PelmarEnumMember kImportToType[] = {
    {"SharedFolder", PELMAR_SharedFolder},
    {"SharedGroup", PELMAR_SharedGroup},
    {"LocalFolder", PELMAR_LocalFolder},
    {"LocalGroup", PELMAR_LocalGroup},
};
const PelmarEnumDesc kEnums[] = {
    {"RunApplicationAt", kRunApplicationAt, 2},
    {"UserType", kUserType, 2},
    {"ImportToType", kImportToType, 4},
};

const PelmarTypeLibDesc kLibrary = {
    "PelmarImpExp", PELMAR_LIBID_PelmarImpExp, 1, 0, 0x409, kClasses, 1, kInterfaces, 1, kEnums, 3,
};

}  // namespace

const PelmarTypeLibDesc& TypeLibrary() { return kLibrary; }

const PelmarInterfaceDesc& ManagerInterface() { return kInterfaces[0]; }

const PelmarFuncDesc* FindMember(const char* name, int32_t invokeKind) {
    for (const PelmarFuncDesc& f : kManagerFuncs)
        if (strcasecmp(f.name, name) == 0 && f.invoke_kind == invokeKind) return &f;
    return nullptr;
}

const PelmarFuncDesc* FindMember(const char* name) {
    for (const PelmarFuncDesc& f : kManagerFuncs)
        if (strcasecmp(f.name, name) == 0) return &f;
    return nullptr;
}

const PelmarFuncDesc* FindMember(int32_t dispid, int32_t invokeKind) {
    for (const PelmarFuncDesc& f : kManagerFuncs)
        if (f.dispid == dispid && f.invoke_kind == invokeKind) return &f;
    return nullptr;
}

std::string GuidText(const PelmarGuid& g) {
    char text[39];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3],
                  g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
    return text;
}

}  // namespace pelmar
