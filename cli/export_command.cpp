#include <cstdio>

#include "cli/commands.h"

namespace pelmar::cli {

int RunExportCommand(const Args&) {
    std::fputs("pelmar: 'export' is not available in this build\n", stderr);
    return 2;
}

}  // namespace pelmar::cli
