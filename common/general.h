#pragma once
// The small routines the windows and runs share.
#include <cstdint>
#include <string>

#include "common/error_info.h"
#include "common/file.h"

namespace pelmar {

// Opens `filePath` for appending (creating it when missing, with `access`),
// writes `line` followed by CR LF and closes it. Failures are thrown
// (pelmar::Error).
void AppendLine(const std::string& filePath, const std::string& line, FileAccess access = FileAccess::Umask);

// A modal message box titled "Orvanta Notification Server" through the
// calling thread's UserInterface; returns the button pressed.
int16_t ShowNotification(const std::string& prompt, int32_t buttons);

// The import run's e-mail syntax check. A failure of its own (an address too
// long for its 16-bit position counter) is handed to `record` and the
// address counts as invalid.
bool IsValidEmail(const std::string& address, const ErrorRecorder& record);

// The key filter of numeric text boxes: True when the key may pass.
bool IsNumericKey(int16_t keyAscii, bool blockDot, bool blockSemicolon);

}  // namespace pelmar
