#include "eventlogger/event_logger.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <system_error>
#include <unistd.h>

namespace pelmar {
namespace {

// The runtime's numbers for the failures a log file can meet.
constexpr int32_t kPermissionDenied = 70;
constexpr int32_t kPathFileAccessError = 75;
constexpr int32_t kPathNotFound = 76;

[[noreturn]] void Fail(const std::string& logFile, int error) {
    int32_t number = kPathFileAccessError;
    std::string kind = "Path/File access error";
    if (error == ENOENT || error == ENOTDIR || error == EEXIST) {
        number = kPathNotFound;
        kind = "Path not found";
    } else if (error == EACCES || error == EPERM || error == EROFS) {
        number = kPermissionDenied;
        kind = "Permission denied";
    }
    throw EventLoggerError(number, kind + ": " + logFile + " (" + std::strerror(error) + ")");
}

// "dd/mm/yyyy hh:mm:ss", local time. Kept here rather than shared with the
// component so that the logger stands on its own.
std::string Stamp() {
    const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    const std::size_t length = std::strftime(buffer, sizeof buffer, "%d/%m/%Y %H:%M:%S", &local);
    return std::string(buffer, length);
}

// One record is one line: CR LF, CR and LF inside the text become blanks.
std::string FoldLineBreaks(const std::string& text) {
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        folded += (c == '\r' || c == '\n') ? ' ' : c;
    }
    return folded;
}

// An open file descriptor, closed when it goes.
class FileHandle {
public:
    explicit FileHandle(int fd) : fd_(fd) {}
    ~FileHandle() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    int get() const noexcept { return fd_; }
    int close() noexcept {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

// Writes one line with a single append, so that a reader between two calls
// always sees whole lines and the file is never held open.
void WriteLine(const std::string& logFile, const std::string& line, bool append) {
    if (logFile.empty()) throw EventLoggerError(kPathFileAccessError, "Path/File access error: no log file named");
    const std::filesystem::path folder = std::filesystem::path(logFile).parent_path();
    if (!folder.empty()) {
        std::error_code ec;
        std::filesystem::create_directories(folder, ec);
        if (ec) Fail(logFile, ec.value());
    }
    const int flags = O_WRONLY | O_CREAT | O_CLOEXEC | (append ? O_APPEND : O_TRUNC);
    FileHandle file(::open(logFile.c_str(), flags, 0666));
    if (file.get() < 0) Fail(logFile, errno);
    const std::string text = line + "\n";
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(file.get(), text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) Fail(logFile, errno);
        written += static_cast<std::size_t>(n);
    }
    if (file.close() != 0) Fail(logFile, errno);
}

std::string Line(const std::string& text, bool stamped) {
    return (stamped ? Stamp() + " " : std::string()) + FoldLineBreaks(text);
}

}  // namespace

EventLogger::EventLogger(MessageSink sink) : sink_(std::move(sink)) {}

EventLogger::~EventLogger() = default;

void EventLogger::WriteLog(const std::string& logFile, const std::string& message, bool flagA, bool flagB) {
    WriteLine(logFile, Line(message, flagA), flagB);
}

void EventLogger::WriteErrorLog(const std::string& logFile, const ErrorInfo& error, const std::string& message,
                                bool flagA, bool flagB) {
    const std::string record = message + " [Error " + std::to_string(error.Number) + ": " + error.Description +
                               "; Source: " + error.Source + "]";
    WriteLine(logFile, Line(record, flagA), flagB);
}

void EventLogger::ShowMessage(const std::string& message, int32_t style) {
    if (sink_) {
        sink_(message, style);
        return;
    }
    std::string text;
    for (std::size_t i = 0; i < message.size(); ++i) {
        if (message[i] == '\r' && i + 1 < message.size() && message[i + 1] == '\n') continue;
        text += message[i] == '\r' ? '\n' : message[i];
    }
    std::cerr << text << '\n' << std::flush;
}

std::string EventLogger::DatabaseType() const {
    const char* type = std::getenv("PELMAR_DATABASE_TYPE");
    return type ? type : "";
}

}  // namespace pelmar
