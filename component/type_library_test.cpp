#include "component/type_library.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

#include "core/enums.h"

namespace pelmar {
namespace {

static_assert(sizeof(RunApplicationAt) == 4 && sizeof(UserType) == 4 && sizeof(ImportToType) == 4);
static_assert(RuntAtServer == PELMAR_RuntAtServer && Administrator == PELMAR_Administrator &&
              LocalGroup == PELMAR_LocalGroup && SharedGroup == PELMAR_SharedGroup);

TEST(TypeLibrary, SlotsMatchTheFunctionTable) {
    const struct {
        const char* name;
        int32_t kind;
        std::size_t offset;
    } cases[] = {
        {"LogFile", PELMAR_INVOKE_PROPERTYGET, offsetof(PelmarManagerVtbl, get_LogFile)},
        {"LogFile", PELMAR_INVOKE_PROPERTYPUT, offsetof(PelmarManagerVtbl, put_LogFile)},
        {"Init", PELMAR_INVOKE_METHOD, offsetof(PelmarManagerVtbl, Init)},
        {"ImportContacts", PELMAR_INVOKE_METHOD, offsetof(PelmarManagerVtbl, ImportContacts)},
        {"ExportContacts", PELMAR_INVOKE_METHOD, offsetof(PelmarManagerVtbl, ExportContacts)},
    };
    for (const auto& c : cases) {
        const PelmarFuncDesc* f = FindMember(c.name, c.kind);
        ASSERT_NE(f, nullptr) << c.name;
        EXPECT_EQ(f->table_slot * sizeof(void*), c.offset) << c.name;
    }
}

// Printed from the descriptors, the text shows every value the hosts read.
TEST(TypeLibrary, TextShowsTheWholeLibrary) {
    EXPECT_EQ(TypeLibraryText(TypeLibrary()),
              "library PelmarImpExp\n"
              "  libid {6B1D3E51-4C8A-4F0E-9A61-2E7D0B5C13A1}\n"
              "  version 1.0\n"
              "  lcid 0x0409\n"
              "\nenum RunApplicationAt (int32)\n  RuntAtClient = 0\n  RuntAtServer = 1\n"
              "\nenum UserType (int32)\n  GeneralUser = 0\n  Administrator = 1\n"
              "\nenum ImportToType (int32)\n  SharedFolder = 0\n  SharedGroup = 1\n  LocalFolder = 2\n"
              "  LocalGroup = 3\n"
              "\ninterface _Manager (dual)\n"
              "  iid {6B1D3E52-4C8A-4F0E-9A61-2E7D0B5C13A1}\n"
              "  [id(1), propget, slot 7] text LogFile()\n"
              "  [id(1), propput, slot 8] void LogFile([in, byref] text LogFile)\n"
              "  [id(2), slot 9] void Init([in, byval] text p_ClientDBString, [in, byval] text "
              "p_RemoteDBString, [in, byval] RunApplicationAt p_Runfor, [in, byref, optional, default \"\"] "
              "text LogFile)\n"
              "  [id(3), slot 10] int32 ImportContacts([in, byref] int32 User_ID)\n"
              "  [id(4), slot 11] int32 ExportContacts([in, byref] int32 User_ID)\n"
              "\nclass Manager\n"
              "  clsid {6B1D3E53-4C8A-4F0E-9A61-2E7D0B5C13A1}\n"
              "  progid PelmarImpExp.Manager\n"
              "  default interface _Manager\n");
}

}  // namespace
}  // namespace pelmar
