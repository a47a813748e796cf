#include <cstdio>

#include "cli/commands.h"

namespace pelmar::cli {

Run AddGuiCommand(CLI::App& pelmar) {
    CLI::App& gui = *pelmar.add_subcommand("gui");
    gui.allow_extras();
    return [] {
        std::fputs("pelmar: 'gui' is not available in this build\n", stderr);
        return 2;
    };
}

}  // namespace pelmar::cli
