#pragma once
// The folder that holds the component's own file: the shared library when the
// code runs from libPelmarImpExp.so, the executable when it is linked in.
#include <string>

namespace pelmar {

// Absolute, without a trailing separator. Throws pelmar::Error when the
// platform cannot tell.
std::string ComponentFolder();
// The component's own file, absolute.
std::string ComponentFile();
// The log when Init names none: ImportExport.log in ComponentFolder().
std::string DefaultLogFile();

}  // namespace pelmar
