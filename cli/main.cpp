// pelmar: the command line host of the import/export component.
#include <cstdio>
#include <exception>
#include <string>

#include "cli/commands.h"

namespace {

constexpr const char* kUsage =
    "usage: pelmar <command> [arguments]\n"
    "\n"
    "commands:\n"
    "  import SOURCE ...     import contacts from a delimited text file\n"
    "  export DEST ...       export contacts to a comma-separated file\n"
    "  db init CS [--seed]   create the address book tables (and a demo address book)\n"
    "  db show CS            print the address book's tables\n"
    "  gui ...               show the import or export window\n"
    "  typelib               print the component's type information\n"
    "\n"
    "'pelmar <command> --help' describes a command.\n";

}  // namespace

int main(int argc, char** argv) {
    using namespace pelmar::cli;
    if (argc < 2 || std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h") {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    const std::string command = argv[1];
    const Args args(argv + 2, argv + argc);
    try {
        if (command == "import") return RunImportCommand(args);
        if (command == "export") return RunExportCommand(args);
        if (command == "db") return RunDbCommand(args);
        if (command == "gui") return RunGuiCommand(args);
        if (command == "typelib") return RunTypelibCommand(args);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "pelmar: %s\n", e.what());
        return 2;
    }
    std::fprintf(stderr, "pelmar: unknown command '%s'\n\n%s", command.c_str(), kUsage);
    return 2;
}
