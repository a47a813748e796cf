#include "component/abi/host_memory.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "component/abi/pelmar_impexp.h"

namespace pelmar::abi {

char* HostText(const std::string& text) {
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (!copy) throw std::bad_alloc();
    std::memcpy(copy, text.c_str(), text.size() + 1);
    return copy;
}

void FreeHostText(void* memory) noexcept { std::free(memory); }

}  // namespace pelmar::abi

extern "C" {

PELMAR_API void PelmarFree(void* memory) { pelmar::abi::FreeHostText(memory); }

PELMAR_API void PelmarVariantClear(PelmarVariant* variant) {
    if (!variant) return;
    if (variant->vt == PELMAR_VT_TEXT) pelmar::abi::FreeHostText(const_cast<char*>(variant->value.text));
    *variant = PelmarVariant{};
}

}  // extern "C"
