#pragma once
// The per-user registry file that maps programmatic identifiers to a class id
// and a library path (its place and format are described in pelmar_impexp.h,
// at DllRegisterServer).
#include <string>

namespace pelmar::abi {

// Where the registry file is; throws pelmar::Error when no place can be told.
std::string RegistryPath();

// Records progId with path made absolute and its folder resolved, replacing
// progId's earlier lines. Creates the file and folders.
void RegisterClass(const std::string& progId, const std::string& clsid, const std::string& path);
// Removes the lines of progId and of clsid; a missing file is no failure.
void UnregisterClass(const std::string& progId, const std::string& clsid);

}  // namespace pelmar::abi
