// pelmar: the command line host of the import/export component.
#include <cstdio>
#include <exception>
#include <map>
#include <string>

#include "cli/commands.h"
#include "common/file.h"
#include "core/phone_number.h"
#include "pelmar_version.h"

namespace {

constexpr const char* kFooter = "'pelmar <command> --help' describes a command; 'pelmar --version' tells the version.";

// The command line as far as it was read: its deepest subcommand, "pelmar db
// init" for instance.
const CLI::App* Deepest(const CLI::App& app) {
    for (const CLI::App* sub : app.get_subcommands()) return Deepest(*sub);
    return &app;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace pelmar::cli;
    // Before anything is written (the log included): a file size limit
    // (ulimit -f) must fail a write, which is reported, not kill pelmar
    // mid-line with SIGXFSZ.
    pelmar::IgnoreFileSizeSignal();
    CLI::App pelmar("The command line host of the import/export component.", "pelmar");
    UseGeneratedHelp(pelmar);
    pelmar.footer(kFooter);
    pelmar.set_version_flag("--version", "pelmar " PELMAR_VERSION_TEXT);
    pelmar.require_subcommand(1);

    std::map<const CLI::App*, Run> commands;
    for (const auto add : {AddImportCommand, AddExportCommand, AddDbCommand, AddGuiCommand, AddTypelibCommand}) {
        Run run = add(pelmar);
        commands[pelmar.get_subcommands({}).back()] = std::move(run);
    }
    std::string topic;
    CLI::App* help = pelmar.add_subcommand("help", "describe pelmar or one of its commands");
    help->add_option("COMMAND", topic, "the command to describe");

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
        std::fputs(HelpText(*Deepest(pelmar)).c_str(), stdout);
        return 0;
    } catch (const CLI::CallForVersion&) {
        std::printf("pelmar %s\nlibphonenumber %s\n", PELMAR_VERSION_TEXT,
                    std::string(pelmar::PhoneLibraryVersion()).c_str());
        return 0;
    } catch (const CLI::ParseError& e) {
        if (argc < 2) {
            std::fputs(HelpText(pelmar).c_str(), stderr);
            return 2;
        }
        const std::string name = CommandName(*Deepest(pelmar));
        std::fprintf(stderr, "%s: %s\nRun '%s --help' for more information.\n", name.c_str(), e.what(), name.c_str());
        return 2;
    }

    if (help->parsed()) {
        if (topic.empty()) {
            std::fputs(HelpText(pelmar).c_str(), stdout);
            return 0;
        }
        for (const auto& [command, run] : commands) {
            if (command->get_name() == topic) {
                std::fputs(HelpText(*command).c_str(), stdout);
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
            std::fprintf(stderr, "%s: %s\n", CommandName(*command).c_str(), e.what());
            return 2;
        }
    }
    return 2;
}
