#pragma once
// What `pelmar import` and `pelmar export` share as hosts of the component:
// their command line (one file operand, --remote, --local, --run-at, --user,
// --log), messages prefixed with the command's name, the console user
// interface, Init, and the progress bar on a terminal.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "session/enums.h"

namespace pelmar {
class Manager;
class ProgressBar;
class WindowHost;
}  // namespace pelmar

namespace pelmar::cli {

struct HostCommand {
    const char* name;            // "import"
    const char* usage;           // the --help text
    const char* operand;         // "SOURCE"
    const char* missingOperand;  // "a source file": "a source file is required"
};

// The values every host command takes.
struct HostOptions {
    std::string operand;  // the file the command reads or writes
    std::string remote;
    std::optional<std::string> local;
    std::string runAt;  // "client", "server", or "" for the default
    int32_t user = 0;
    std::string log;

    // Client when asked for, or by default when --local is given; else server.
    RunApplicationAt RunAt() const;
};

// Adds the command with the host's options, filling `options`.
CLI::App& AddHostCommand(CLI::App& pelmar, const HostCommand& command, HostOptions& options);

// What the command line alone cannot tell: a blank file operand, a client
// run without a local database. False, after a message, when wrong.
bool CheckHostOptions(const HostCommand& command, const HostOptions& options);

// "pelmar NAME: " and the message, on a line of stderr.
void Complain(const HostCommand& command, const std::string& message);

// Installs the console user interface and `host`, and runs Init with the
// options. False, after a message naming the log, when Init failed.
bool StartHost(const HostCommand& command, const HostOptions& options, std::shared_ptr<WindowHost> host,
               Manager& manager);

// From now on draws `bar` on stderr when stderr is a terminal, ending the
// bar's line when it is full or hidden so that messages start on their own.
void DrawOnTerminal(ProgressBar& bar);

}  // namespace pelmar::cli
