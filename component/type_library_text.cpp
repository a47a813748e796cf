#include <cstdio>
#include <string>

#include "component/type_library.h"

namespace pelmar {

namespace {

std::string TypeName(int32_t type, const char* typeName) {
    switch (type) {
        case PELMAR_TYPE_VOID: return "void";
        case PELMAR_TYPE_I4: return "int32";
        case PELMAR_TYPE_TEXT: return "text";
        case PELMAR_TYPE_ENUM: return typeName ? typeName : "enum";
        default: return "type " + std::to_string(type);
    }
}

std::string InvokeKindText(int32_t kind) {
    switch (kind) {
        case PELMAR_INVOKE_PROPERTYGET: return ", propget";
        case PELMAR_INVOKE_PROPERTYPUT: return ", propput";
        default: return "";
    }
}

std::string ParamText(const PelmarParamDesc& p) {
    std::string attributes = "in";
    if (p.flags & PELMAR_PARAM_BYREF)
        attributes += ", byref";
    else
        attributes += ", byval";
    if (p.flags & PELMAR_PARAM_OPTIONAL) {
        attributes += ", optional";
        if (p.default_value) attributes += ", default \"" + std::string(p.default_value) + "\"";
    }
    return "[" + attributes + "] " + TypeName(p.type, p.type_name) + " " + p.name;
}

std::string FuncText(const PelmarFuncDesc& f) {
    std::string line = "  [id(" + std::to_string(f.dispid) + ")" + InvokeKindText(f.invoke_kind) + ", slot " +
                       std::to_string(f.table_slot) + "] " + TypeName(f.result_type, nullptr) + " " + f.name + "(";
    for (uint32_t i = 0; i < f.param_count; ++i) {
        if (i) line += ", ";
        line += ParamText(f.params[i]);
    }
    return line + ")\n";
}

}  // namespace

std::string TypeLibraryText(const PelmarTypeLibDesc& library) {
    char lcid[16];
    std::snprintf(lcid, sizeof lcid, "0x%04X", static_cast<unsigned>(library.lcid));
    std::string text = std::string("library ") + library.name + "\n";
    text += "  libid " + GuidText(library.libid) + "\n";
    text += "  version " + std::to_string(library.major_version) + "." + std::to_string(library.minor_version) + "\n";
    text += std::string("  lcid ") + lcid + "\n";

    for (uint32_t e = 0; e < library.enum_count; ++e) {
        const PelmarEnumDesc& desc = library.enums[e];
        text += std::string("\nenum ") + desc.name + " (int32)\n";
        for (uint32_t m = 0; m < desc.member_count; ++m)
            text += std::string("  ") + desc.members[m].name + " = " + std::to_string(desc.members[m].value) + "\n";
    }
    for (uint32_t i = 0; i < library.interface_count; ++i) {
        const PelmarInterfaceDesc& desc = library.interfaces[i];
        text +=
            std::string("\ninterface ") + desc.name + ((desc.flags & PELMAR_INTERFACE_DUAL) ? " (dual)" : "") + "\n";
        text += "  iid " + GuidText(desc.iid) + "\n";
        for (uint32_t f = 0; f < desc.func_count; ++f) text += FuncText(desc.funcs[f]);
    }
    for (uint32_t c = 0; c < library.class_count; ++c) {
        const PelmarClassDesc& desc = library.classes[c];
        text += std::string("\nclass ") + desc.name + "\n";
        text += "  clsid " + GuidText(desc.clsid) + "\n";
        text += std::string("  progid ") + desc.prog_id + "\n";
        if (desc.default_interface) text += std::string("  default interface ") + desc.default_interface->name + "\n";
    }
    return text;
}

}  // namespace pelmar
