#pragma once
// The subcommands of the `pelmar` command line host. Each adds itself to the
// command line and returns what runs it once its arguments were read: the
// process exit status (0 done, 1 done with errors, 2 nothing done).
#include <functional>

#include <CLI/CLI.hpp>

namespace pelmar::cli {

using Run = std::function<int()>;

Run AddImportCommand(CLI::App& pelmar);   // pelmar import ...
Run AddExportCommand(CLI::App& pelmar);   // pelmar export ...
Run AddDbCommand(CLI::App& pelmar);       // pelmar db init|show ...
Run AddGuiCommand(CLI::App& pelmar);      // pelmar gui ...
Run AddTypelibCommand(CLI::App& pelmar);  // pelmar typelib

// Shows `text` as the command's --help, word for word.
void SetHelpText(CLI::App& command, const char* text);

}  // namespace pelmar::cli
