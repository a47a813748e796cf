#include "component/component_folder.h"

#include <dlfcn.h>
#include <link.h>

#include <filesystem>
#include <system_error>

#include "common/error.h"

namespace pelmar {

namespace {

// Any address inside this file's code will do to ask the loader which object
// holds it.
void Anchor() {}

std::filesystem::path OwnFile() {
    Dl_info info{};
    link_map* map = nullptr;
    if (dladdr1(reinterpret_cast<void*>(&Anchor), &info, reinterpret_cast<void**>(&map), RTLD_DL_LINKMAP) == 0 ||
        map == nullptr)
        throw Error(errnum::PathNotFound, "The component's own file cannot be found");
    // The main program has an empty name in the loader's list; its file is
    // what /proc/self/exe points to.
    if (map->l_name == nullptr || map->l_name[0] == '\0') {
        std::error_code ec;
        auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
        if (ec) throw Error(errnum::PathNotFound, "The component's own file cannot be found: " + ec.message());
        return exe;
    }
    return std::filesystem::absolute(map->l_name);
}

}  // namespace

std::string ComponentFile() { return OwnFile().string(); }

std::string DefaultLogFile() { return ComponentFolder() + "/ImportExport.log"; }

std::string ComponentFolder() {
    std::string folder = OwnFile().parent_path().string();
    while (!folder.empty() && folder.back() == '/') folder.pop_back();
    return folder;
}

}  // namespace pelmar
