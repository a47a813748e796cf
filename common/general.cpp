#include "common/general.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "common/error.h"
#include "common/logger_factory.h"
#include "common/text.h"
#include "common/ui.h"
#include "component/session_state.h"

namespace pelmar {
namespace {

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
    // Closes now, so that a failing close is reported too.
    int close() noexcept {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

[[noreturn]] void ThrowFileError(const std::string& filePath, int error) {
    int32_t number = errnum::PathFileAccessError;
    std::string kind = "Path/File access error";
    if (error == ENOENT || error == ENOTDIR) {
        number = errnum::PathNotFound;
        kind = "Path not found";
    } else if (error == EACCES || error == EPERM || error == EROFS) {
        number = errnum::PermissionDenied;
        kind = "Permission denied";
    }
    throw Error(number, kind + ": " + filePath + " (" + std::strerror(error) + ")");
}

}  // namespace

void AppendLine(const std::string& filePath, const std::string& line) {
    FileHandle file(::open(filePath.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (file.get() < 0) ThrowFileError(filePath, errno);
    const std::string text = line + "\r\n";
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t n = ::write(file.get(), text.data() + written, text.size() - written);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) ThrowFileError(filePath, errno);
        written += static_cast<std::size_t>(n);
    }
    if (file.close() != 0) ThrowFileError(filePath, errno);
}

int16_t ShowNotification(const std::string& prompt, int32_t buttons) {
    return CurrentUserInterface().ShowMessageBox(prompt, buttons, kProductTitle);
}

bool IsValidEmail(const std::string& address) {
    try {
        // The scan runs on a 16-bit position counter: its bound must fit.
        CheckedInt16(static_cast<int64_t>(CharCount(address)));
        // "@" is one byte that never occurs inside a longer UTF-8 character,
        // so the bytes can be scanned directly.
        int atSigns = 0;
        for (const char c : address) {
            if (c == '@' && ++atSigns > 1) return false;
        }

        const auto at = CheckedInt16(static_cast<int64_t>(InStr(address, "@")));
        const auto dot = CheckedInt16(static_cast<int64_t>(InStr(address, ".")));
        if (at == 0 || dot == 0) return false;

        if (Mid(address, static_cast<std::size_t>(dot), 2) == "..") return false;

        if (Left(address, 1) == "@" || Right(address, 1) == ".") return false;

        if (Mid(address, static_cast<std::size_t>(at), 2) == "@.") return false;
        if (Mid(address, static_cast<std::size_t>(dot), 2) == ".@") return false;

        return true;
    } catch (...) {
        const ErrorInfo error = CurrentErrorInfo();
        std::shared_ptr<EventLogger> logger = Session().Logger;
        if (!logger) logger = CreateEventLogger();
        logger->WriteErrorLog(Session().LogFilePath, error, "Error occurred while validating E-Mail.", true,
                              true);
        return false;
    }
}

bool IsNumericKey(int16_t keyAscii, bool blockDot, bool blockSemicolon) {
    constexpr int16_t kCopy = 3, kBackspace = 8, kTab = 9, kPaste = 22;
    if (keyAscii == kBackspace || keyAscii == kTab || keyAscii == kCopy) return true;
    if (keyAscii >= '0' && keyAscii <= '9') return true;
    if (keyAscii == '.') return !blockDot;
    if (keyAscii == ';') return !blockSemicolon;
    if (keyAscii == kPaste) {
        const std::optional<std::string> text = CurrentUserInterface().ClipboardText();
        return text && IsNumeric(*text) && ToDouble(*text) >= 0;
    }
    return false;
}

std::string NullToText(const db::Value& value, const std::string& defaultText) {
    if (value.IsNull()) return defaultText;
    return value.ToText();
}

}  // namespace pelmar
