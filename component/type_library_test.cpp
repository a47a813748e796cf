#include "component/type_library.h"

#include <gtest/gtest.h>

#include <cstddef>

#include "core/enums.h"

namespace pelmar {
namespace {

static_assert(sizeof(RunApplicationAt) == 4 && sizeof(UserType) == 4 && sizeof(ImportToType) == 4);
static_assert(RuntAtServer == PELMAR_RuntAtServer && Administrator == PELMAR_Administrator &&
              LocalGroup == PELMAR_LocalGroup && SharedGroup == PELMAR_SharedGroup);

// The slots the text shows are the function table's.
static_assert(offsetof(PelmarManagerVtbl, get_LogFile) == 7 * sizeof(void*) &&
              offsetof(PelmarManagerVtbl, put_LogFile) == 8 * sizeof(void*) &&
              offsetof(PelmarManagerVtbl, Init) == 9 * sizeof(void*) &&
              offsetof(PelmarManagerVtbl, ImportContacts) == 10 * sizeof(void*) &&
              offsetof(PelmarManagerVtbl, ExportContacts) == 11 * sizeof(void*));

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
