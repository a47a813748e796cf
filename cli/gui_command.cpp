// pelmar gui: a host window over libPelmarImpExp.so, which it loads through
// the library's C interface as any other host would, so that the windows
// are the library's own. The window lives in a module loaded only for this
// command: the other commands never load Qt. Without connection strings it
// uses a demo address book in the user's data folder, made on first use.
#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "cli/commands.h"
#include "cli/default_log.h"
#include "cli/host.h"
#include "db/connection.h"
#include "db/schema.h"
#include "gui/host_module.h"

namespace pelmar::cli {
namespace {

constexpr const char* kGuiDescription =
    "Opens a small host window that loads the component's library through its C\n"
    "interface and calls Init and ImportContacts or ExportContacts, which show the\n"
    "import wizard or the export dialog.";

constexpr const char* kGuiFooter =
    "Needs a display (DISPLAY or WAYLAND_DISPLAY).\n"
    "\n"
    "exit status: 0 done (with --show: the entry point returned 1), 1 the entry point\n"
    "             returned 0 (see the log), 2 nothing could be shown.";

struct GuiOptions {
    std::optional<std::string> remote;
    std::optional<std::string> local;
    std::optional<RunApplicationAt> runAt;
    int32_t user = 1;
    std::string show;
};

int Complain(const std::string& message) {
    std::fprintf(stderr, "pelmar gui: %s\n", message.c_str());
    return 2;
}

// The demo address book, seeded when it is made.
std::string DemoAddressBook() {
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    const char* home = std::getenv("HOME");
    std::filesystem::path folder;
    if (dataHome && *dataHome)
        folder = dataHome;
    else if (home && *home)
        folder = std::filesystem::path(home) / ".local" / "share";
    else
        throw std::runtime_error("neither XDG_DATA_HOME nor HOME names a folder for the demo address book");
    folder /= "pelmar";
    const std::string path = (folder / "addressbook.db").string();
    std::string connectionString = "Driver=SQLite3;Database=" + path;
    if (!std::filesystem::exists(path)) {
        std::filesystem::create_directories(folder);
        db::CreateSqliteDatabase(path);
        db::Connection connection;
        connection.Open(connectionString);
        db::CreateSchema(connection);
        db::SeedDemo(connection);
        connection.Close();
        std::printf("Created the demo address book %s (users 1 to 4, folders, groups, contacts).\n", path.c_str());
    }
    return connectionString;
}

// A file the build put beside this program, by its path relative to it.
std::string BesideProgram(const char* relative) {
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0) return "";
    self[length] = '\0';
    return (std::filesystem::path(self).parent_path() / relative).lexically_normal().string();
}

int RunGui(const GuiOptions& options) {
    const bool runAtClient = options.runAt ? *options.runAt == RuntAtClient : options.local.has_value();
    if (runAtClient && !options.local) return Complain("--run-at client needs --local");
    const std::string remote = options.remote ? *options.remote : DemoAddressBook();
    const std::string local = options.local.value_or("");

    // The build tree's place for the module, else the installed one.
    std::string module = BesideProgram(PELMAR_GUI_HOST_FROM_PROGRAM);
    if (!std::filesystem::exists(module)) module = BesideProgram(PELMAR_GUI_HOST_INSTALLED);
    // Kept loaded to the end: Qt's objects outlive the call.
    void* host = ::dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!host) return Complain(std::string("the windows are not available: ") + ::dlerror());
    void* symbol = ::dlsym(host, PELMAR_GUI_HOST_RUN);
    if (!symbol) return Complain("the windows' module has no " PELMAR_GUI_HOST_RUN);
    PelmarGuiHostRun run = nullptr;
    std::memcpy(&run, &symbol, sizeof run);

    // The library built beside this program; where it is missing, the registered class.
    std::string library = BesideProgram(PELMAR_LIBRARY_FROM_PROGRAM);
    if (!std::filesystem::exists(library)) library = BesideProgram(PELMAR_LIBRARY_INSTALLED);
    // Installed, the library's folder cannot be written by its users: then
    // the log goes where the other commands' does.
    const std::string log = UserLogFile((std::filesystem::path(library).parent_path() / "ImportExport.log").string(),
                                        std::getenv("XDG_STATE_HOME"), std::getenv("HOME"));
    const PelmarGuiHostArgs args{library.c_str(), remote.c_str(),       local.c_str(), runAtClient ? 1 : 0,
                                 options.user,    options.show.c_str(), log.c_str()};
    return run(&args);
}

}  // namespace

Run AddGuiCommand(CLI::App& pelmar) {
    auto options = std::make_shared<GuiOptions>();
    CLI::App& gui = *pelmar.add_subcommand("gui", "show the import or export window");
    gui.footer(std::string(kGuiDescription) + "\n\n" + kGuiFooter);
    gui.add_option("--remote", options->remote,
                   "connection string of the remote (server) database; without\n"
                   "it, the demo address book in $XDG_DATA_HOME/pelmar (by\n"
                   "default ~/.local/share/pelmar), created on first use")
        ->option_text("CS");
    gui.add_option("--local", options->local, "connection string of the local (client) database")->option_text("CS");
    AddNamedOption(gui, "--run-at", options->runAt, kRunAtNames,
                   "client or server (default: client with --local, else server)");
    gui.add_option("--user", options->user, "SMS_USERS.ID of the acting user (default 1)")->option_text("ID");
    AddNamedOption(gui, "--show", options->show, {{"import", std::string("import")}, {"export", std::string("export")}},
                   "import or export: call that entry point at once, without the\n"
                   "host window, and end when its window closes");
    return [options] { return RunGui(*options); };
}

}  // namespace pelmar::cli
