#pragma once
// What `pelmar import` and `pelmar export` share as hosts of the component:
// their command line (one file operand, --remote, --local, --run-at, --user,
// --log, and the command's own options), --help, messages prefixed with the
// command's name, the console user interface, Init, and the progress bar on a
// terminal.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "session/enums.h"

namespace pelmar {
class Manager;
class ProgressBar;
class WindowHost;
}  // namespace pelmar

namespace pelmar::cli {

// The values every host command takes.
struct HostOptions {
    std::string operand;  // the file the command reads or writes
    std::string remote;
    std::string local;  // "" without --local
    RunApplicationAt runAt = RuntAtServer;  // without --run-at: client when --local is given
    int32_t user = 0;
    std::string log;
};

// One of a command's own options. `take` gets the value ("" for a flag) and
// returns false after it has complained.
struct CommandOption {
    std::string name;
    bool takesValue;
    std::function<bool(const std::string& value)> take;
};

struct HostCommand {
    const char* name;            // "import"
    const char* usage;           // the --help text
    const char* operand;         // "source file": "only one source file may be given"
    const char* missingOperand;  // "a source file": "a source file is required"
};

// Runs a host command: --help (anywhere) prints the usage to stdout (status
// 0); arguments that cannot be read get a message, a blank line and the usage
// on stderr (status 2); otherwise `run` does the work and returns the status.
int RunHostCommand(const HostCommand& command, const Args& args, const std::vector<CommandOption>& own,
                   const std::function<int(const HostOptions&)>& run);

// "pelmar NAME: " and the message, on a line of stderr.
void Complain(const HostCommand& command, const std::string& message);

// Installs the console user interface and `host`, and runs Init with the
// options. False, after a message naming the log, when Init failed.
bool StartHost(const HostCommand& command, const HostOptions& options, std::shared_ptr<WindowHost> host,
               Manager& manager);

// A whole 32-bit decimal integer, or nothing.
std::optional<int32_t> ParseInt32(const std::string& text);

// From now on draws `bar` on stderr when stderr is a terminal, ending the
// bar's line when it is full or hidden so that messages start on their own.
void DrawOnTerminal(ProgressBar& bar);

}  // namespace pelmar::cli
