#include <cstdio>

#include "cli/commands.h"

namespace pelmar::cli {

int RunDbCommand(const Args&) {
    std::fputs("pelmar: 'db' is not available in this build\n", stderr);
    return 2;
}

}  // namespace pelmar::cli
