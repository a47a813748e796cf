// What the last import wrote, for hosts that show it to their user.
#include <memory>

#include "component/abi/host_memory.h"
#include "component/abi/pelmar_impexp.h"
#include "component/abi/status.h"
#include "component/import_outputs.h"

using namespace pelmar;
using namespace pelmar::abi;

extern "C" {

PELMAR_API pelmar_status PelmarGetLastImportFiles(char** bad_file, char** rejects_file) {
    return Guard([&]() -> pelmar_status {
        if (bad_file) *bad_file = nullptr;
        if (rejects_file) *rejects_file = nullptr;
        const ImportOutputs& last = LastImportOutputs();
        // Both texts or neither.
        using HostOwned = std::unique_ptr<char, void (*)(void*) noexcept>;
        HostOwned bad(bad_file ? HostText(last.badFile) : nullptr, FreeHostText);
        HostOwned rejects(rejects_file ? HostText(last.rejectsFile) : nullptr, FreeHostText);
        if (bad_file) *bad_file = bad.release();
        if (rejects_file) *rejects_file = rejects.release();
        return PELMAR_S_OK;
    });
}

}  // extern "C"
