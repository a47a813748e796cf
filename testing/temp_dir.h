#pragma once
// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
#include <filesystem>
#include <string>
#include <vector>

namespace pelmar::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const noexcept { return path_; }
    // path() / name, as text
    std::string file(const std::string& name) const;

private:
    std::filesystem::path path_;
};

// Writes `bytes` to `path` exactly (binary).
void WriteFile(const std::string& path, std::string_view bytes);
// Reads a whole file (binary); "" when it does not exist.
std::string ReadFile(const std::string& path);
// The lines of a text file, without their line ends (LF or CR LF).
std::vector<std::string> ReadLines(const std::string& path);

}  // namespace pelmar::test
