#include <cstdio>

#include "cli/commands.h"

namespace pelmar::cli {

int RunImportCommand(const Args&) {
    std::fputs("pelmar: 'import' is not available in this build\n", stderr);
    return 2;
}

}  // namespace pelmar::cli
