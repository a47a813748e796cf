// pelmar export: the export dialog driven from the command line. The host
// initialises a Manager, and its window host fills in the destination, lets
// the dialog validate it, and presses Export.
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>

#include "cli/commands.h"
#include "common/error.h"
#include "common/progress.h"
#include "common/ui.h"
#include "component/manager.h"
#include "component/session_state.h"
#include "component/window_host.h"
#include "export/export_dialog.h"

namespace pelmar::cli {

namespace {

constexpr const char* kExportUsage =
    "usage: pelmar export DEST --remote CS [--local CS] [--run-at client|server] --user ID [--log PATH]\n"
    "\n"
    "Exports the address book's contacts to DEST, a comma-separated text file\n"
    "(created, or emptied when it exists). At a client (--run-at client, the\n"
    "default when --local is given) the contacts of user ID are read from the\n"
    "local database; at the server (the default otherwise) every contact of the\n"
    "remote database is exported, once user ID is found there enabled.\n"
    "\n"
    "  DEST              the export file\n"
    "  --remote CS       connection string of the remote (server) database\n"
    "  --local CS        connection string of the local (client) database\n"
    "  --run-at WHERE    client or server\n"
    "  --user ID         SMS_USERS.ID of the acting user\n"
    "  --log PATH        the log file (default: ImportExport.log beside the program)\n"
    "\n"
    "Messages go to standard error, the number of contacts exported to standard\n"
    "output. A progress bar is drawn on standard error when it is a terminal.\n"
    "\n"
    "exit status: 0 the export completed (also when there were no contacts),\n"
    "             1 it completed with errors (see the log),\n"
    "             2 nothing was exported (bad arguments, initialisation failed,\n"
    "               user not found, destination could not be opened).\n";

struct ExportArgs {
    std::string destination;
    std::string remote;
    std::optional<std::string> local;
    std::optional<RunApplicationAt> runAt;
    std::optional<int32_t> user;
    std::string log;
};

std::optional<int32_t> ParseUserId(const std::string& text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

// Reads the arguments; a message on stderr and nothing when they are wrong.
std::optional<ExportArgs> ParseArgs(const Args& args) {
    ExportArgs parsed;
    bool haveDestination = false;
    bool haveRemote = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const bool isOption = arg == "--remote" || arg == "--local" || arg == "--run-at" || arg == "--user" ||
                              arg == "--log";
        if (isOption) {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "pelmar export: %s needs a value\n", arg.c_str());
                return std::nullopt;
            }
            const std::string& value = args[++i];
            if (arg == "--remote") {
                parsed.remote = value;
                haveRemote = true;
            } else if (arg == "--local") {
                parsed.local = value;
            } else if (arg == "--log") {
                parsed.log = value;
            } else if (arg == "--run-at") {
                if (value == "client") {
                    parsed.runAt = RuntAtClient;
                } else if (value == "server") {
                    parsed.runAt = RuntAtServer;
                } else {
                    std::fprintf(stderr, "pelmar export: --run-at takes client or server, not '%s'\n", value.c_str());
                    return std::nullopt;
                }
            } else {
                parsed.user = ParseUserId(value);
                if (!parsed.user) {
                    std::fprintf(stderr, "pelmar export: --user takes a 32-bit integer, not '%s'\n", value.c_str());
                    return std::nullopt;
                }
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            std::fprintf(stderr, "pelmar export: unknown option '%s'\n", arg.c_str());
            return std::nullopt;
        } else if (!haveDestination) {
            parsed.destination = arg;
            haveDestination = true;
        } else {
            std::fprintf(stderr, "pelmar export: only one destination may be given ('%s')\n", arg.c_str());
            return std::nullopt;
        }
    }
    const char* missing = !haveDestination || parsed.destination.find_first_not_of(' ') == std::string::npos
                              ? "a destination file"
                          : !haveRemote ? "--remote"
                          : !parsed.user ? "--user"
                                         : nullptr;
    if (missing) {
        std::fprintf(stderr, "pelmar export: %s is required\n", missing);
        return std::nullopt;
    }
    if (!parsed.runAt) parsed.runAt = parsed.local ? RuntAtClient : RuntAtServer;
    if (*parsed.runAt == RuntAtClient && !parsed.local) {
        std::fputs("pelmar export: --run-at client needs --local\n", stderr);
        return std::nullopt;
    }
    return parsed;
}

// Draws the dialog's progress bar on a terminal, ending its line when the
// bar is full or hidden so that messages start on a line of their own.
class TerminalProgress {
public:
    void operator()(const ProgressBar& bar) {
        if (!bar.Visible()) {
            EndLine();
            return;
        }
        const int32_t span = bar.Max() - bar.Min();
        const int32_t done = bar.Value() - bar.Min();
        const int width = 40;
        const int filled = span > 0 ? static_cast<int>(static_cast<int64_t>(done) * width / span) : 0;
        std::fprintf(stderr, "\r[%s%s] %d/%d", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                     std::string(static_cast<std::size_t>(width - filled), '.').c_str(), done, span);
        std::fflush(stderr);
        drawn_ = true;
        if (span > 0 && done == span) EndLine();
    }

private:
    void EndLine() {
        if (!drawn_) return;
        std::fputc('\n', stderr);
        drawn_ = false;
    }
    bool drawn_ = false;
};

// The window host of the batch export: the destination is "typed" into the
// dialog, validated as leaving the box would, and Export is pressed.
class BatchExportHost : public WindowHost {
public:
    BatchExportHost(std::string destination, bool drawProgress)
        : destination_(std::move(destination)), drawProgress_(drawProgress) {}

    void ShowImportWizard(ImportForm&) override {
        throw Error(errnum::InvalidProcedureCall, "The import wizard is not available to 'pelmar export'");
    }

    void ShowExportDialog(ExportDialog& dialog) override {
        if (drawProgress_) dialog.ProgressBar1.SetObserver(TerminalProgress{});
        dialog.txtLocation = destination_;
        if (dialog.txtLocation_Validate()) outcome = dialog.cmdExport_Click();
        dialog.cmdClose_Click();
    }

    std::optional<ExportSummary> outcome;

private:
    std::string destination_;
    bool drawProgress_;
};

}  // namespace

int RunExportCommand(const Args& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kExportUsage, stdout);
            return 0;
        }
    }
    const std::optional<ExportArgs> parsed = ParseArgs(args);
    if (!parsed) {
        std::fputs("\n", stderr);
        std::fputs(kExportUsage, stderr);
        return 2;
    }

    SetUserInterface(std::make_shared<ConsoleUserInterface>());
    auto host = std::make_shared<BatchExportHost>(parsed->destination, ::isatty(STDERR_FILENO) == 1);
    SetWindowHost(host);

    Manager manager;
    manager.Init(parsed->local.value_or(""), parsed->remote, *parsed->runAt, parsed->log);
    if (!Session().InitDone) {
        std::fprintf(stderr, "pelmar export: initialisation failed; see the log %s\n", manager.LogFile().c_str());
        return 2;
    }
    int32_t user = *parsed->user;
    if (manager.ExportContacts(user) == 0 || !host->outcome) return 2;

    std::printf("%d\n", host->outcome->Count);
    return host->outcome->Errors ? 1 : 0;
}

}  // namespace pelmar::cli
