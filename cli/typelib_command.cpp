#include <cstdio>
#include <string>

#include "cli/commands.h"
#include "component/type_library.h"

namespace pelmar::cli {

Run AddTypelibCommand(CLI::App& pelmar) {
    CLI::App& typelib = *pelmar.add_subcommand("typelib", "print the component's type information");
    typelib.footer(
        "Prints the component's type library: the enumerations, the Manager\n"
        "interface with its dispatch ids and arguments, and the class.");
    return [] {
        std::fputs(TypeLibraryText(TypeLibrary()).c_str(), stdout);
        return 0;
    };
}

}  // namespace pelmar::cli
