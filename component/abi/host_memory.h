#pragma once
// Memory the library hands to its host. It comes from the C library's malloc,
// so PelmarFree, PelmarVariantClear and (for C hosts sharing that C library)
// free() all release it alike.
#include <string>

namespace pelmar::abi {

// A NUL-terminated copy of text for the host; throws std::bad_alloc.
char* HostText(const std::string& text);

// Releases what HostText made; null is ignored.
void FreeHostText(void* memory) noexcept;

}  // namespace pelmar::abi
