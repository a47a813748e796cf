#pragma once
// A sequential file opened the way the runtime opens them (for input, for
// output, for appending) and closed when the object goes. Failures throw
// pelmar::Error with the runtime's file error numbers: 53 file not found,
// 76 path not found, 70 permission denied, 52 bad file name, 75 otherwise
// (a folder where a file was expected, a full disk, ...).
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/error.h"

namespace pelmar {

// The runtime's error for a failed operation on the file `path`, from errno
// `error`: 53 file not found (when reading), 76 path not found, 70 permission
// denied, 52 bad file name, 75 any other path or file access error.
Error FileError(int error, const std::string& path, bool reading);

// Who may read a file the component creates. Data files (the export, the
// rejected-records files) hold people's names and numbers and are the
// owner's alone; the log follows the umask like any other program's output.
// A file that exists already keeps its mode.
enum class FileAccess {
    Umask,      // 0666 less the umask
    OwnerOnly,  // 0600
};

class File {
public:
    enum class Mode {
        Input,   // must exist
        Output,  // created, or emptied when it exists
        Append,  // created when missing
    };

    File(const std::string& path, Mode mode, FileAccess access = FileAccess::Umask);
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;

    // The rest of the file's bytes.
    std::string ReadAll();
    // Up to `size` of the next bytes into `buffer`; 0 only at the end of the file.
    std::size_t Read(char* buffer, std::size_t size);
    // Back to the first byte, to read the file again.
    void Rewind();
    // The file's size in bytes.
    uint64_t Size() const;
    // What changes when the file does: which file it is, its size, and when
    // its bytes and its inode last changed, in nanoseconds since 1970.
    struct Stamp {
        uint64_t device = 0;
        uint64_t inode = 0;
        uint64_t size = 0;
        int64_t modified = 0;
        int64_t changed = 0;
        bool operator==(const Stamp&) const = default;
    };
    Stamp CurrentStamp() const;
    // Writes all of `bytes`.
    void Write(std::string_view bytes);
    // Closes now, so that a failing close is reported too.
    void Close();

private:
    [[noreturn]] void Fail(int error) const;

    std::string path_;
    Mode mode_;
    int fd_ = -1;
};

// Creates the data file `path` owner-only, with any missing folders, when it
// does not exist yet; an existing file is left as it is. For data files that
// another writer (the logger) appends to line by line: call it before the
// first line.
void CreateDataFile(const std::string& path);

// True when `a` and `b` name the same file: the same inode when both exist
// (links and ".." resolved), else the same path once resolved as far as it
// exists.
bool SameFile(const std::string& a, const std::string& b);

// The stamp of the file `path` names now; nothing when there is none.
std::optional<File::Stamp> StampOf(const std::string& path);

// Makes a file size limit (ulimit -f) an ordinary write error (EFBIG) rather
// than the end of the process, unless the process already handles SIGXFSZ
// its own way. Idempotent; safe from any thread.
void IgnoreFileSizeSignal();

}  // namespace pelmar
