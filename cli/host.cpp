#include "cli/host.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "cli/commands.h"
#include "cli/default_log.h"
#include "common/progress.h"
#include "common/text.h"
#include "common/ui.h"
#include "component/manager.h"
#include "component/window_host.h"
#include "eventlogger/event_logger.h"
#include "session/logger_factory.h"

namespace pelmar::cli {
namespace {

// The default logger, which also tells stderr the cause of each failure it
// records, the first few of them: the log holds them all.
class ConsoleEventLogger : public EventLogger {
public:
    explicit ConsoleEventLogger(const HostCommand& command)
            : EventLogger([](const std::string& message, int32_t style) {
                  CurrentUserInterface().ShowMessageBox(message, style, kProductTitle);
              }),
              command_(command) {}

    void WriteErrorLog(const std::string& logFile, const ErrorInfo& error, const std::string& message, LogStamp stamp,
                       LogWrite write) override {
        Tell(error);
        EventLogger::WriteErrorLog(logFile, error, message, stamp, write);
    }

private:
    void Tell(const ErrorInfo& error) {
        constexpr int kTold = 3;
        static int told = 0;
        if (told > kTold) return;
        if (told++ == kTold) {
            Complain(command_, "more failures are in the log only");
            return;
        }
        Complain(command_, FoldLineBreaks(error.Description));
    }

    const HostCommand& command_;
};

}  // namespace

struct ProgressDisplay::State {
    const HostCommand* command;
    bool terminal = ::isatty(STDERR_FILENO) == 1;
    std::string phase;
    // On a terminal: what is shown, and when.
    std::string shown;
    bool drawn = false;
    std::chrono::steady_clock::time_point drawnAt;
    // Elsewhere: the last tenth told, of this phase.
    int64_t toldTenth = 0;
    // A new phase shows nothing until its bar was set back to its start: a
    // bar shown again first shows where the last phase left it.
    bool started = true;

    void Show(const ProgressBar& bar) {
        if (!bar.Visible()) {
            EndLine();
            shown.clear();
            return;
        }
        const int64_t span = int64_t{bar.Max()} - bar.Min();
        const int64_t done = int64_t{bar.Value()} - bar.Min();
        if (!started && done != 0) return;
        started = true;
        if (terminal)
            Draw(span, done);
        else
            Tell(span, done);
    }

    void Draw(int64_t span, int64_t done) {
        constexpr int64_t kWidth = 40;
        const int64_t filled = span > 0 ? std::min(kWidth, done * kWidth / span) : 0;
        const std::string text = (phase.empty() ? "" : phase + " ") + "[" +
                                 std::string(static_cast<std::size_t>(filled), '#') +
                                 std::string(static_cast<std::size_t>(kWidth - filled), '.') + "] " +
                                 std::to_string(done) + "/" + std::to_string(span);
        if (text == shown) return;
        const bool full = span > 0 && done == span;
        const auto now = std::chrono::steady_clock::now();
        if (drawn && !full && now - drawnAt < std::chrono::milliseconds(200)) return;
        shown = text;
        drawnAt = now;
        std::fprintf(stderr, "\r%s", text.c_str());
        std::fflush(stderr);
        drawn = true;
        if (full) EndLine();
    }

    void Tell(int64_t span, int64_t done) {
        if (span <= 0) return;
        const int64_t tenth = std::min<int64_t>(10, done * 10 / span);
        if (tenth <= toldTenth) return;
        toldTenth = tenth;
        Complain(*command, (phase.empty() ? "" : phase + " ") + std::to_string(tenth * 10) + "%");
    }

    void EndLine() {
        if (!drawn) return;
        std::fputc('\n', stderr);
        drawn = false;
    }
};

ProgressDisplay::ProgressDisplay(const HostCommand& command) : state_(std::make_shared<State>()) {
    state_->command = &command;
}

void ProgressDisplay::Attach(ProgressBar& bar) {
    bar.SetObserver([state = state_](const ProgressBar& b) { state->Show(b); });
}

void ProgressDisplay::SetPhase(const std::string& phase) {
    state_->EndLine();
    state_->phase = phase;
    state_->shown.clear();
    state_->toldTenth = 0;
    state_->started = false;
}

RunApplicationAt HostOptions::RunAt() const {
    if (!runAt) return local ? RuntAtClient : RuntAtServer;
    return *runAt;
}

CLI::App& AddHostCommand(CLI::App& pelmar, const HostCommand& command, HostOptions& options,
                         const std::string& runAtHelp) {
    CLI::App& app = *pelmar.add_subcommand(command.name, command.summary);
    // One description serves the command list and the command's help: the
    // longer text goes after the options.
    app.footer(std::string(command.description) + "\n\n" + command.footer);
    app.add_option(command.operand, options.operand, command.operandHelp)->required()->type_name("");
    app.add_option("--remote", options.remote, "connection string of the remote (server) database (required)")
        ->required()
        ->option_text("CS");
    app.add_option("--local", options.local, "connection string of the local (client) database")->option_text("CS");
    AddNamedOption(app, "--run-at", options.runAt, kRunAtNames, runAtHelp);
    app.add_option("--user", options.user, "SMS_USERS.ID of the acting user (required)")->required()->option_text("ID");
    app.add_option("--log", options.log,
                   "the log file (default: ImportExport.log beside the program, else in $XDG_STATE_HOME/pelmar)")
        ->option_text("PATH");
    app.callback([&options] {
        if (!Trim(options.log).empty()) return;
        options.log = UserLogFile();
        options.userLog = !options.log.empty();
    });
    return app;
}

bool CheckHostOptions(const HostCommand& command, const HostOptions& options) {
    if (options.operand.find_first_not_of(' ') == std::string::npos) {
        Complain(command, std::string(command.missingOperand) + " is required");
        return false;
    }
    if (options.RunAt() == RuntAtClient && !options.local) {
        Complain(command, "--run-at client needs --local");
        return false;
    }
    return true;
}

void Complain(const HostCommand& command, const std::string& message) {
    std::fprintf(stderr, "pelmar %s: %s\n", command.name, message.c_str());
}

bool StartHost(const HostCommand& command, const HostOptions& options, std::shared_ptr<WindowHost> host,
               Manager& manager) {
    SetUserInterface(std::make_shared<ConsoleUserInterface>());
    SetEventLoggerFactory([&command] { return std::make_shared<ConsoleEventLogger>(command); });
    SetWindowHost(std::move(host));
    manager.Init(options.local.value_or(""), options.remote, options.RunAt(), options.log);
    if (manager.InitDone()) return true;
    Complain(command, "initialisation failed; see the log " + manager.LogFile());
    return false;
}

}  // namespace pelmar::cli
