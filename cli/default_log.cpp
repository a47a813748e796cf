#include "cli/default_log.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "component/component_folder.h"

namespace pelmar::cli {

namespace fs = std::filesystem;

namespace {

bool Writable(const std::string& log) {
    std::error_code ec;
    const fs::path path(log);
    const fs::path target = fs::exists(path, ec) ? path : path.parent_path();
    return ::access(target.c_str(), W_OK) == 0;
}

}  // namespace

std::string UserLogFile(const std::string& componentLog, const char* stateHome, const char* home) {
    if (Writable(componentLog)) return "";
    fs::path folder;
    if (stateHome && fs::path(stateHome).is_absolute())
        folder = stateHome;
    else if (home && *home)
        folder = fs::path(home) / ".local" / "state";
    else
        return "";
    folder /= "pelmar";
    // A folder that cannot be made leaves a log that cannot be written,
    // which the run reports as it does any log line lost.
    std::error_code ec;
    if (fs::create_directories(folder, ec))
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace, ec);
    return (folder / "ImportExport.log").string();
}

std::string UserLogFile() { return UserLogFile(DefaultLogFile(), std::getenv("XDG_STATE_HOME"), std::getenv("HOME")); }

}  // namespace pelmar::cli
