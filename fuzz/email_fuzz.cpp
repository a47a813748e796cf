// The import's e-mail check. Besides not failing: an address it accepts has
// exactly one "@" and a "."; a failure of its own is recorded, never thrown.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/general.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelmar;
    const std::string address(reinterpret_cast<const char*>(data), size);
    bool recorded = false;
    const bool valid = IsValidEmail(address, [&](const ErrorInfo&, const std::string&, LogStamp) { recorded = true; });
    if (valid &&
        (recorded || std::count(address.begin(), address.end(), '@') != 1 || address.find('.') == std::string::npos))
        std::abort();
    return 0;
}
