#include "cli/host.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "cli/commands.h"
#include "common/progress.h"
#include "common/ui.h"
#include "component/manager.h"
#include "component/window_host.h"

namespace pelmar::cli {
namespace {

// Draws the bar as "[####....] done/span" over itself, when that changed.
class BarDrawing {
public:
    void operator()(const ProgressBar& bar) {
        if (!bar.Visible()) {
            EndLine();
            shown_.clear();
            return;
        }
        const int64_t span = int64_t{bar.Max()} - bar.Min();
        const int64_t done = int64_t{bar.Value()} - bar.Min();
        constexpr int64_t kWidth = 40;
        const int64_t filled = span > 0 ? std::min(kWidth, done * kWidth / span) : 0;
        const std::string text = "[" + std::string(static_cast<std::size_t>(filled), '#') +
                                 std::string(static_cast<std::size_t>(kWidth - filled), '.') + "] " +
                                 std::to_string(done) + "/" + std::to_string(span);
        if (text == shown_) return;
        shown_ = text;
        std::fprintf(stderr, "\r%s", text.c_str());
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
    std::string shown_;
};

}  // namespace

RunApplicationAt HostOptions::RunAt() const {
    if (runAt.empty()) return local ? RuntAtClient : RuntAtServer;
    return runAt == "client" ? RuntAtClient : RuntAtServer;
}

CLI::App& AddHostCommand(CLI::App& pelmar, const HostCommand& command, HostOptions& options) {
    CLI::App& app = *pelmar.add_subcommand(command.name);
    SetHelpText(app, command.usage);
    app.add_option(command.operand, options.operand)->required();
    app.add_option("--remote", options.remote)->required();
    app.add_option("--local", options.local);
    app.add_option("--run-at", options.runAt)->check(CLI::IsMember({"client", "server"}));
    app.add_option("--user", options.user)->required();
    app.add_option("--log", options.log);
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
    SetWindowHost(std::move(host));
    manager.Init(options.local.value_or(""), options.remote, options.RunAt(), options.log);
    if (manager.InitDone()) return true;
    Complain(command, "initialisation failed; see the log " + manager.LogFile());
    return false;
}

void DrawOnTerminal(ProgressBar& bar) {
    if (::isatty(STDERR_FILENO) == 1) bar.SetObserver(BarDrawing{});
}

}  // namespace pelmar::cli
