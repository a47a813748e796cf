// pelmar: the command line host of the import/export component.
#include <cstdio>
#include <exception>
#include <map>
#include <string>

#include "cli/commands.h"
#include "common/file.h"
#include "pelmar_version.h"

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
    "  help [COMMAND]        describe pelmar or one of its commands\n"
    "\n"
    "'pelmar <command> --help' describes a command; 'pelmar --version' tells the version.\n";

// The command line as far as it was read: its deepest subcommand, "pelmar db
// init" for instance.
const CLI::App* Deepest(const CLI::App& app) {
    for (const CLI::App* sub : app.get_subcommands()) return Deepest(*sub);
    return &app;
}

std::string FullName(const CLI::App* app) {
    std::string name;
    for (; app; app = app->get_parent()) name = app->get_name() + (name.empty() ? "" : " " + name);
    return name;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pelmar::cli;
    // Before anything is written (the log included): a file size limit
    // (ulimit -f) must fail a write, which is reported, not kill pelmar
    // mid-line with SIGXFSZ.
    pelmar::IgnoreFileSizeSignal();
    CLI::App pelmar("the command line host of the import/export component", "pelmar");
    SetHelpText(pelmar, kUsage);
    pelmar.set_version_flag("--version", "pelmar " PELMAR_VERSION_TEXT);
    pelmar.require_subcommand(1);

    std::map<const CLI::App*, Run> commands;
    for (const auto add : {AddImportCommand, AddExportCommand, AddDbCommand, AddGuiCommand, AddTypelibCommand}) {
        Run run = add(pelmar);
        commands[pelmar.get_subcommands({}).back()] = std::move(run);
    }
    std::string topic;
    CLI::App* help = pelmar.add_subcommand("help", "describe pelmar or one of its commands");
    help->add_option("COMMAND", topic);

    const auto known = [&](const std::string& name) {
        for (const CLI::App* command : pelmar.get_subcommands({}))
            if (command->get_name() == name) return true;
        return false;
    };
    if (argc >= 2 && argv[1][0] != '-' && !known(argv[1])) {
        std::fprintf(stderr, "pelmar: unknown command '%s'\nRun 'pelmar --help' for the commands.\n", argv[1]);
        return 2;
    }
    try {
        pelmar.parse(argc, argv);
    } catch (const CLI::CallForHelp&) {
        std::fputs(Deepest(pelmar)->help().c_str(), stdout);
        return 0;
    } catch (const CLI::CallForVersion&) {
        std::puts("pelmar " PELMAR_VERSION_TEXT);
        return 0;
    } catch (const CLI::ParseError& e) {
        if (argc < 2) {
            std::fputs(kUsage, stderr);
            return 2;
        }
        const std::string name = FullName(Deepest(pelmar));
        std::fprintf(stderr, "%s: %s\nRun '%s --help' for more information.\n", name.c_str(), e.what(), name.c_str());
        return 2;
    }

    if (help->parsed()) {
        if (topic.empty()) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        for (const auto& [command, run] : commands) {
            if (command->get_name() == topic) {
                std::fputs(command->help().c_str(), stdout);
                return 0;
            }
        }
        std::fprintf(stderr, "pelmar help: no command '%s'\nRun 'pelmar --help' for the commands.\n", topic.c_str());
        return 2;
    }
    for (const auto& [command, run] : commands) {
        if (!command->parsed()) continue;
        try {
            return run();
        } catch (const std::exception& e) {
            std::fprintf(stderr, "%s: %s\n", FullName(command).c_str(), e.what());
            return 2;
        }
    }
    return 2;
}
