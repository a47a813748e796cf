#include "component/abi/registry.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#include "common/error.h"
#include "pelmar_host.h"

namespace pelmar::abi {

namespace {

namespace fs = std::filesystem;

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// The first field of a registration line, "" for comments and blank lines.
std::string Field(const std::string& line, int index) {
    if (line.empty() || line[0] == '#') return {};
    std::istringstream fields(line);
    std::string field;
    for (int i = 0; i <= index; ++i)
        if (!std::getline(fields, field, '\t')) return {};
    return field;
}

// Written beside the file and renamed over it, so a reader never sees half.
void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    const fs::path target(path);
    std::error_code ec;
    if (target.has_parent_path()) fs::create_directories(target.parent_path(), ec);
    if (ec) throw Error(errnum::PathNotFound, "Cannot create " + target.parent_path().string() + ": " + ec.message());
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines) out << line << '\n';
        out.flush();
        if (!out) throw Error(errnum::PathFileAccessError, "Cannot write " + temp);
    }
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp);
        throw Error(errnum::PathFileAccessError, "Cannot replace " + path + ": " + ec.message());
    }
}

std::vector<std::string> Without(const std::vector<std::string>& lines, const std::string& progId,
                                 const std::string& clsid) {
    std::vector<std::string> kept;
    for (const std::string& line : lines)
        if (Field(line, 0) != progId && (clsid.empty() || Field(line, 1) != clsid)) kept.push_back(line);
    return kept;
}

// The folder resolved as realpath resolves it (no "." or "..", no linked
// folders), the file name kept as given: a host that loaded the library
// through its versioned link still finds it once the file behind the link is
// replaced by an update.
std::string NormalPath(const std::string& path) {
    const fs::path given = fs::absolute(path);
    return (fs::weakly_canonical(given.parent_path()) / given.filename()).string();
}

}  // namespace

// The host helper, which reads the file before any library is loaded, knows
// where it is; the library asks the same code.
std::string RegistryPath() {
    std::string path = pelmar_registry_path();
    if (path.empty()) throw Error(errnum::PathNotFound, "No place for the registry: set PELMAR_REGISTRY or HOME");
    return path;
}

void RegisterClass(const std::string& progId, const std::string& clsid, const std::string& path) {
    const std::string file = RegistryPath();
    std::vector<std::string> lines = Without(ReadLines(file), progId, {});
    lines.push_back(progId + '\t' + clsid + '\t' + NormalPath(path));
    WriteLines(file, lines);
}

void UnregisterClass(const std::string& progId, const std::string& clsid) {
    const std::string file = RegistryPath();
    if (!fs::exists(file)) return;
    WriteLines(file, Without(ReadLines(file), progId, clsid));
}

}  // namespace pelmar::abi
