#pragma once
// The subcommands of the `pelmar` command line host. Each takes the arguments
// after its name and returns the process exit status.
#include <string>
#include <vector>

namespace pelmar::cli {

using Args = std::vector<std::string>;

int RunDbCommand(const Args& args);       // pelmar db init ...
int RunImportCommand(const Args& args);   // pelmar import ...
int RunExportCommand(const Args& args);   // pelmar export ...
int RunTypelibCommand(const Args& args);  // pelmar typelib
int RunGuiCommand(const Args& args);      // pelmar gui ...

}  // namespace pelmar::cli
