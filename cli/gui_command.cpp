#include <cstdio>

#include "cli/commands.h"

namespace pelmar::cli {

int RunGuiCommand(const Args&) {
    std::fputs("pelmar: 'gui' is not available in this build\n", stderr);
    return 2;
}

}  // namespace pelmar::cli
