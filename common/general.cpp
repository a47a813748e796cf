#include "common/general.h"

#include "common/error.h"
#include "common/file.h"
#include "common/text.h"
#include "common/ui.h"

namespace pelmar {

void AppendLine(const std::string& filePath, const std::string& line, FileAccess access) {
    File file(filePath, File::Mode::Append, access);
    file.Write(line + "\r\n");
    file.Close();
}

int16_t ShowNotification(const std::string& prompt, int32_t buttons) {
    return CurrentUserInterface().ShowMessageBox(prompt, buttons, kProductTitle);
}

// Kept on purpose: docs/behaviour.md#the-e-mail-checks-16-bit-counter
bool IsValidEmail(const std::string& address, const ErrorRecorder& record) {
    try {
        // The scan runs on a 16-bit position counter: its bound must fit. A
        // text of no more bytes than that has no more characters.
        if (address.size() > static_cast<std::size_t>(INT16_MAX))
            CheckedInt16(static_cast<int64_t>(CharCount(address)));
        // "@" and "." are single bytes that never occur inside a longer UTF-8
        // character, so the bytes can be scanned directly: the character at a
        // position, and the one after it, are the bytes there.
        const std::size_t at = address.find('@');
        if (at == std::string::npos || address.find('@', at + 1) != std::string::npos) return false;
        const std::size_t dot = address.find('.');
        if (dot == std::string::npos) return false;
        const auto after = [&](std::size_t i) { return i + 1 < address.size() ? address[i + 1] : '\0'; };

        if (after(dot) == '.') return false;

        if (address.front() == '@' || address.back() == '.') return false;

        if (after(at) == '.') return false;
        if (after(dot) == '@') return false;

        return true;
    } catch (...) {
        record(CurrentErrorInfo(), "Error occurred while validating E-Mail.", LogStamp::DateTime);
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

}  // namespace pelmar
