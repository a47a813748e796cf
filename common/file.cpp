#include "common/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <system_error>

#include "common/error.h"

namespace pelmar {

File::File(const std::string& path, Mode mode, FileAccess access) : path_(path), mode_(mode) {
    if (path.empty() || path.find('\0') != std::string::npos) Fail(EINVAL);
    int flags = O_CLOEXEC;
    switch (mode) {
        case Mode::Input: flags |= O_RDONLY; break;
        case Mode::Output: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
        case Mode::Append: flags |= O_WRONLY | O_CREAT | O_APPEND; break;
    }
    fd_ = ::open(path.c_str(), flags, access == FileAccess::OwnerOnly ? 0600 : 0666);
    if (fd_ < 0) Fail(errno);
    // Opening a folder for reading succeeds on this platform; it is no file.
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        Fail(EISDIR);
    }
}

File::~File() {
    if (fd_ >= 0) ::close(fd_);
}

std::string File::ReadAll() {
    std::string bytes;
    struct stat st {};
    if (::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0)
        bytes.reserve(static_cast<std::size_t>(st.st_size));
    char chunk[1 << 16];
    for (;;) {
        // Straight into the reserved buffer while there is room; a chunk beyond.
        const std::size_t old = bytes.size();
        const std::size_t room = bytes.capacity() - old;
        const bool direct = room >= sizeof chunk;
        if (direct) bytes.resize(bytes.capacity());
        const ssize_t n = direct ? ::read(fd_, bytes.data() + old, room) : ::read(fd_, chunk, sizeof chunk);
        if (direct) bytes.resize(old + static_cast<std::size_t>(n > 0 ? n : 0));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fail(errno);
        if (n == 0) break;
        if (!direct) bytes.append(chunk, static_cast<std::size_t>(n));
    }
    return bytes;
}

std::size_t File::Read(char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, size);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) Fail(errno);
    }
}

void File::Rewind() {
    if (::lseek(fd_, 0, SEEK_SET) < 0) Fail(errno);
}

uint64_t File::Size() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) Fail(errno);
    return static_cast<uint64_t>(st.st_size);
}

namespace {

int64_t Nanoseconds(const timespec& at) { return int64_t{at.tv_sec} * 1'000'000'000 + at.tv_nsec; }

File::Stamp StampOfStat(const struct stat& st) {
    return {.device = static_cast<uint64_t>(st.st_dev),
            .inode = static_cast<uint64_t>(st.st_ino),
            .size = static_cast<uint64_t>(st.st_size),
            .modified = Nanoseconds(st.st_mtim),
            .changed = Nanoseconds(st.st_ctim)};
}

}  // namespace

File::Stamp File::CurrentStamp() const {
    struct stat st {};
    if (::fstat(fd_, &st) != 0) Fail(errno);
    return StampOfStat(st);
}

void File::Write(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fail(errno);
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

void File::Close() {
    const int fd = fd_;
    fd_ = -1;
    if (fd >= 0 && ::close(fd) != 0) Fail(errno);
}

void CreateDataFile(const std::string& path) {
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) throw FileError(ec.value(), path, false);
    }
    File(path, File::Mode::Append, FileAccess::OwnerOnly).Close();
}

bool SameFile(const std::string& a, const std::string& b) {
    struct stat sa {
    }, sb{};
    if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
        return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
    std::error_code ea, eb;
    const auto ra = std::filesystem::weakly_canonical(std::filesystem::absolute(a, ea), ea);
    const auto rb = std::filesystem::weakly_canonical(std::filesystem::absolute(b, eb), eb);
    return !ea && !eb && ra == rb;
}

std::optional<File::Stamp> StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return StampOfStat(st);
}

void IgnoreFileSizeSignal() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction current {};
        if (::sigaction(SIGXFSZ, nullptr, &current) != 0 || current.sa_handler != SIG_DFL) return;
        struct sigaction ignore {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        ::sigaction(SIGXFSZ, &ignore, nullptr);
    });
}

void File::Fail(int error) const { throw FileError(error, path_, mode_ == Mode::Input); }

Error FileError(int error, const std::string& path, bool reading) {
    int32_t number = errnum::PathFileAccessError;
    std::string kind = "Path/File access error";
    switch (error) {
        case ENOENT:
            number = reading ? errnum::FileNotFound : errnum::PathNotFound;
            kind = reading ? "File not found" : "Path not found";
            break;
        case ENOTDIR:
        case EEXIST:  // a file where a folder of the path should be
            number = errnum::PathNotFound;
            kind = "Path not found";
            break;
        case EACCES:
        case EPERM:
        case EROFS:
            number = errnum::PermissionDenied;
            kind = "Permission denied";
            break;
        case ENAMETOOLONG:
        case EINVAL:
            number = errnum::BadFileName;
            kind = "Bad file name or number";
            break;
        default: break;
    }
    return Error(number, kind + ": " + path + " (" + std::strerror(error) + ")");
}

}  // namespace pelmar
