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
