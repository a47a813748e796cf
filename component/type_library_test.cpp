#include "component/type_library.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "component/enums.h"

namespace pelmar {
namespace {

const PelmarEnumDesc* FindEnum(const char* name) {
    const PelmarTypeLibDesc& lib = TypeLibrary();
    for (uint32_t i = 0; i < lib.enum_count; ++i)
        if (std::string(lib.enums[i].name) == name) return &lib.enums[i];
    return nullptr;
}

TEST(TypeLibrary, NamesTheLibraryItsVersionAndLocale) {
    const PelmarTypeLibDesc& lib = TypeLibrary();
    EXPECT_STREQ(lib.name, "PelmarImpExp");
    EXPECT_EQ(lib.major_version, 1);
    EXPECT_EQ(lib.minor_version, 0);
    EXPECT_EQ(lib.lcid, 0x409u);
    ASSERT_EQ(lib.class_count, 1u);
    EXPECT_STREQ(lib.classes[0].prog_id, "PelmarImpExp.Manager");
    EXPECT_EQ(lib.classes[0].default_interface, &ManagerInterface());
}

TEST(TypeLibrary, EnumerationsCarryTheComponentsValues) {
    struct Case {
        const char* enumName;
        const char* member;
        int32_t value;
    };
    const Case cases[] = {
        {"RunApplicationAt", "RuntAtClient", RuntAtClient},
        {"RunApplicationAt", "RuntAtServer", RuntAtServer},
        {"UserType", "GeneralUser", GeneralUser},
        {"UserType", "Administrator", Administrator},
        {"ImportToType", "SharedFolder", SharedFolder},
        {"ImportToType", "SharedGroup", SharedGroup},
        {"ImportToType", "LocalFolder", LocalFolder},
        {"ImportToType", "LocalGroup", LocalGroup},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.member);
        const PelmarEnumDesc* e = FindEnum(c.enumName);
        ASSERT_NE(e, nullptr);
        bool found = false;
        for (uint32_t i = 0; i < e->member_count; ++i)
            if (std::string(e->members[i].name) == c.member) {
                found = true;
                EXPECT_EQ(e->members[i].value, c.value);
            }
        EXPECT_TRUE(found);
    }
    EXPECT_EQ(RuntAtServer, 1);
    EXPECT_EQ(Administrator, 1);
    EXPECT_EQ(LocalGroup, 3);
    static_assert(sizeof(RunApplicationAt) == 4 && sizeof(UserType) == 4 && sizeof(ImportToType) == 4);
}

TEST(TypeLibrary, SlotsMatchTheFunctionTable) {
    const std::size_t slot = sizeof(void*);
    struct Case {
        const char* name;
        int32_t kind;
        std::size_t offset;
    };
    const Case cases[] = {
        {"LogFile", PELMAR_INVOKE_PROPERTYGET, offsetof(PelmarManagerVtbl, get_LogFile)},
        {"LogFile", PELMAR_INVOKE_PROPERTYPUT, offsetof(PelmarManagerVtbl, put_LogFile)},
        {"Init", PELMAR_INVOKE_METHOD, offsetof(PelmarManagerVtbl, Init)},
        {"ImportContacts", PELMAR_INVOKE_METHOD, offsetof(PelmarManagerVtbl, ImportContacts)},
        {"ExportContacts", PELMAR_INVOKE_METHOD, offsetof(PelmarManagerVtbl, ExportContacts)},
    };
    uint32_t previous = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const PelmarFuncDesc* f = FindMember(c.name, c.kind);
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->table_slot * slot, c.offset);
        EXPECT_GT(f->table_slot, previous);
        previous = f->table_slot;
    }
}

TEST(TypeLibrary, InitTakesAnOptionalLogFileByReference) {
    const PelmarFuncDesc* init = FindMember("init", PELMAR_INVOKE_METHOD);
    ASSERT_NE(init, nullptr);
    ASSERT_EQ(init->param_count, 4u);
    EXPECT_EQ(init->params[0].flags & PELMAR_PARAM_BYREF, 0u);
    EXPECT_STREQ(init->params[2].type_name, "RunApplicationAt");
    EXPECT_EQ(init->params[3].flags, PELMAR_PARAM_IN | PELMAR_PARAM_BYREF | PELMAR_PARAM_OPTIONAL);
    EXPECT_STREQ(init->params[3].default_value, "");
    const PelmarFuncDesc* import = FindMember("IMPORTCONTACTS");
    ASSERT_NE(import, nullptr);
    EXPECT_EQ(import->params[0].flags & PELMAR_PARAM_BYREF, PELMAR_PARAM_BYREF);
    EXPECT_EQ(FindMember("Terminate"), nullptr);
}

TEST(TypeLibrary, GuidTextIsTheRegistryForm) {
    const PelmarGuid guid = {0x0102A0B0, 0x0C0D, 0xE0F0, {0, 1, 2, 3, 0xAB, 0xCD, 0xEF, 0xFF}};
    EXPECT_EQ(GuidText(guid), "{0102A0B0-0C0D-E0F0-0001-0203ABCDEFFF}");
}

TEST(TypeLibrary, TextShowsEveryPart) {
    const std::string text = TypeLibraryText(TypeLibrary());
    for (const char* expected : {
             "library PelmarImpExp\n", "  version 1.0\n", "  lcid 0x0409\n",
             "enum ImportToType (int32)\n  SharedFolder = 0\n  SharedGroup = 1\n"
             "  LocalFolder = 2\n  LocalGroup = 3\n",
             "interface _Manager (dual)\n",
             "[id(1), propget, slot 7] text LogFile()\n",
             "[id(1), propput, slot 8] void LogFile([in, byref] text LogFile)\n",
             "void Init([in, byval] text p_ClientDBString, [in, byval] text p_RemoteDBString, "
             "[in, byval] RunApplicationAt p_Runfor, [in, byref, optional, default \"\"] text LogFile)",
             "int32 ExportContacts([in, byref] int32 User_ID)\n",
             "  progid PelmarImpExp.Manager\n",
         })
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n---\n" << text;
}

}  // namespace
}  // namespace pelmar
