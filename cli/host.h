#pragma once
// What `pelmar import` and `pelmar export` share as hosts of the component:
// their command line (one file operand, --remote, --local, --run-at, --user,
// --log), messages prefixed with the command's name, the console user
// interface, Init with the causes of failures on stderr, and the progress
// bar.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "cli/commands.h"
#include "core/enums.h"

namespace pelmar {
class Manager;
class ProgressBar;
class WindowHost;
}  // namespace pelmar

namespace pelmar::cli {

struct HostCommand {
    const char* name;            // "import"
    const char* summary;         // what `pelmar --help` and its --help say of it
    const char* description;     // what its --help says after the options
    const char* footer;          // and last
    const char* operand;         // "SOURCE"
    const char* operandHelp;     // "the delimited text file"
    const char* missingOperand;  // "a source file": "a source file is required"
};

inline const Names<RunApplicationAt> kRunAtNames = {{"client", RuntAtClient}, {"server", RuntAtServer}};

// The values every host command takes.
struct HostOptions {
    std::string operand;  // the file the command reads or writes
    std::string remote;
    std::optional<std::string> local;
    std::optional<RunApplicationAt> runAt;  // unset for the default
    int32_t user = 0;
    std::string log;
    // No --log and the program's folder cannot be written: `log` is in the
    // user's state folder, and the run's closing lines say so.
    bool userLog = false;

    // Client when asked for, or by default when --local is given; else server.
    RunApplicationAt RunAt() const;
};

// Adds the command with the host's options, filling `options`; `runAtHelp`
// says what --run-at does for it.
CLI::App& AddHostCommand(CLI::App& pelmar, const HostCommand& command, HostOptions& options,
                         const std::string& runAtHelp);

// What the command line alone cannot tell: a blank file operand, a client
// run without a local database. False, after a message, when wrong.
bool CheckHostOptions(const HostCommand& command, const HostOptions& options);

// "pelmar NAME: " and the message, on a line of stderr.
void Complain(const HostCommand& command, const std::string& message);

// Installs the console user interface and `host`, and runs Init with the
// options. False, after a message naming the log, when Init failed. From
// here on the cause of every failure the component records in its log (the
// driver's message, a file that cannot be opened) is also told on stderr,
// the first few of them.
bool StartHost(const HostCommand& command, const HostOptions& options, std::shared_ptr<WindowHost> host,
               Manager& manager);

// Shows progress bars on stderr, labelled by the phase of the work: on a
// terminal as a bar drawn over itself at most a few times a second, its line
// ended when it is full or hidden so that messages start on their own;
// elsewhere as a line at every tenth of the way.
class ProgressDisplay {
public:
    explicit ProgressDisplay(const HostCommand& command);
    // From now on `bar` is shown.
    void Attach(ProgressBar& bar);
    // "listing", "importing", "exporting".
    void SetPhase(const std::string& phase);

private:
    struct State;
    std::shared_ptr<State> state_;
};

}  // namespace pelmar::cli
