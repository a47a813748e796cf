#include "cli/host.h"

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cstdio>

#include "common/progress.h"
#include "common/ui.h"
#include "component/manager.h"
#include "component/window_host.h"

namespace pelmar::cli {
namespace {

// Reads the command line; a message on stderr and nothing when it is wrong.
std::optional<HostOptions> ParseArgs(const HostCommand& command, const Args& args,
                                     const std::vector<CommandOption>& own) {
    HostOptions parsed;
    bool haveOperand = false;
    bool haveRemote = false;
    bool haveLocal = false;
    std::optional<RunApplicationAt> runAt;
    std::optional<int32_t> user;
    const std::vector<CommandOption> hostOptions = {
        {"--remote", true,
         [&](const std::string& value) {
             parsed.remote = value;
             haveRemote = true;
             return true;
         }},
        {"--local", true,
         [&](const std::string& value) {
             parsed.local = value;
             haveLocal = true;
             return true;
         }},
        {"--run-at", true,
         [&](const std::string& value) {
             if (value != "client" && value != "server") {
                 Complain(command, "--run-at takes client or server, not '" + value + "'");
                 return false;
             }
             runAt = value == "client" ? RuntAtClient : RuntAtServer;
             return true;
         }},
        {"--user", true,
         [&](const std::string& value) {
             user = ParseInt32(value);
             if (!user) Complain(command, "--user takes a 32-bit integer, not '" + value + "'");
             return user.has_value();
         }},
        {"--log", true,
         [&](const std::string& value) {
             parsed.log = value;
             return true;
         }},
    };
    const auto find = [&](const std::string& arg) -> const CommandOption* {
        for (const auto* options : {&hostOptions, &own})
            for (const CommandOption& option : *options)
                if (option.name == arg) return &option;
        return nullptr;
    };

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const CommandOption* option = find(arg);
        if (!option) {
            if (arg.size() > 1 && arg[0] == '-') {
                Complain(command, "unknown option '" + arg + "'");
                return std::nullopt;
            }
            if (haveOperand) {
                Complain(command, std::string("only one ") + command.operand + " may be given ('" + arg + "')");
                return std::nullopt;
            }
            parsed.operand = arg;
            haveOperand = true;
            continue;
        }
        std::string value;
        if (option->takesValue) {
            if (i + 1 >= args.size()) {
                Complain(command, arg + " needs a value");
                return std::nullopt;
            }
            value = args[++i];
        }
        if (!option->take(value)) return std::nullopt;
    }

    const bool blankOperand = parsed.operand.find_first_not_of(' ') == std::string::npos;
    const char* missing = !haveOperand || blankOperand ? command.missingOperand
                          : !haveRemote                ? "--remote"
                          : !user                      ? "--user"
                                                       : nullptr;
    if (missing) {
        Complain(command, std::string(missing) + " is required");
        return std::nullopt;
    }
    parsed.user = *user;
    parsed.runAt = runAt.value_or(haveLocal ? RuntAtClient : RuntAtServer);
    if (parsed.runAt == RuntAtClient && !haveLocal) {
        Complain(command, "--run-at client needs --local");
        return std::nullopt;
    }
    return parsed;
}

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

int RunHostCommand(const HostCommand& command, const Args& args, const std::vector<CommandOption>& own,
                   const std::function<int(const HostOptions&)>& run) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(command.usage, stdout);
            return 0;
        }
    }
    const std::optional<HostOptions> parsed = ParseArgs(command, args, own);
    if (!parsed) {
        std::fputs("\n", stderr);
        std::fputs(command.usage, stderr);
        return 2;
    }
    return run(*parsed);
}

void Complain(const HostCommand& command, const std::string& message) {
    std::fprintf(stderr, "pelmar %s: %s\n", command.name, message.c_str());
}

bool StartHost(const HostCommand& command, const HostOptions& options, std::shared_ptr<WindowHost> host,
               Manager& manager) {
    SetUserInterface(std::make_shared<ConsoleUserInterface>());
    SetWindowHost(std::move(host));
    manager.Init(options.local, options.remote, options.runAt, options.log);
    if (manager.InitDone()) return true;
    Complain(command, "initialisation failed; see the log " + manager.LogFile());
    return false;
}

std::optional<int32_t> ParseInt32(const std::string& text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

void DrawOnTerminal(ProgressBar& bar) {
    if (::isatty(STDERR_FILENO) == 1) bar.SetObserver(BarDrawing{});
}

}  // namespace pelmar::cli
