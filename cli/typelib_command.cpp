#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "component/type_library.h"

namespace pelmar::cli {

int RunTypelibCommand(const Args& args) {
    if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
        std::fputs("usage: pelmar typelib\n"
                   "Prints the component's type library: the enumerations, the Manager\n"
                   "interface with its dispatch ids and arguments, and the class.\n",
                   stdout);
        return 0;
    }
    if (!args.empty()) {
        std::fprintf(stderr, "pelmar typelib: unexpected argument '%s'\n", args[0].c_str());
        return 2;
    }
    std::fputs(TypeLibraryText(TypeLibrary()).c_str(), stdout);
    return 0;
}

}  // namespace pelmar::cli
