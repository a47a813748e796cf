#pragma once
// The user-interface hook: every message box and the clipboard go through the
// UserInterface installed for the calling thread. The Qt windows install one
// that shows real message boxes; batch hosts use ConsoleUserInterface (stderr);
// tests record what would have been shown.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace pelmar {

// Message box styles and results, as the platform's message box numbers them.
namespace msgbox {
inline constexpr int32_t OkOnly = 0;
inline constexpr int32_t Critical = 16;  // stop icon
inline constexpr int32_t Exclamation = 48;
inline constexpr int32_t Information = 64;
inline constexpr int16_t ResultOk = 1;
}  // namespace msgbox

inline constexpr const char* kProductTitle = "Orvanta Notification Server";

class UserInterface {
public:
    virtual ~UserInterface() = default;
    // Shows a modal message box and returns the button pressed (msgbox::ResultOk, ...).
    virtual int16_t ShowMessageBox(const std::string& prompt, int32_t style, const std::string& title) = 0;
    // The clipboard's text, or nothing when it holds no text.
    virtual std::optional<std::string> ClipboardText() = 0;
    // A warning that needs no answer; a message box with the exclamation
    // icon unless the host has a quieter place for it.
    virtual void ShowWarning(const std::string& text) { ShowMessageBox(text, msgbox::Exclamation, kProductTitle); }
};

// Prints every message to standard error, warnings after "warning: "; has no
// clipboard.
class ConsoleUserInterface : public UserInterface {
public:
    int16_t ShowMessageBox(const std::string& prompt, int32_t style, const std::string& title) override;
    void ShowWarning(const std::string& text) override;
    std::optional<std::string> ClipboardText() override;
};

// Keeps every message shown, for tests and for hosts that report later.
class RecordingUserInterface : public UserInterface {
public:
    struct Message {
        std::string prompt;
        int32_t style;
        std::string title;
    };
    int16_t ShowMessageBox(const std::string& prompt, int32_t style, const std::string& title) override;
    std::optional<std::string> ClipboardText() override { return clipboard; }

    std::vector<Message> messages;
    std::optional<std::string> clipboard;
};

// The calling thread's hook (a ConsoleUserInterface until one is installed).
UserInterface& CurrentUserInterface();
// Installs a hook for the calling thread; null restores the console one.
void SetUserInterface(std::shared_ptr<UserInterface> ui);

}  // namespace pelmar
