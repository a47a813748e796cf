#include <cstdio>

#include "cli/commands.h"

namespace pelmar::cli {

int RunTypelibCommand(const Args&) {
    std::fputs("pelmar: 'typelib' is not available in this build\n", stderr);
    return 2;
}

}  // namespace pelmar::cli
