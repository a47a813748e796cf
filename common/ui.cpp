#include "common/ui.h"

#include <iostream>

#include "common/text.h"

namespace pelmar {
namespace {

thread_local std::shared_ptr<UserInterface> installed;

}  // namespace

int16_t ConsoleUserInterface::ShowMessageBox(const std::string& prompt, int32_t style, const std::string& /*title*/) {
    // The icon bits say what kind of box it is; a stop box reports an error.
    constexpr int32_t kIconMask = 0x70;
    const bool isError = (style & kIconMask) == msgbox::Critical;
    const std::string text = NormaliseLineBreaks(prompt);
    std::cerr << (isError ? "error: " : "") << text << '\n' << std::flush;
    return msgbox::ResultOk;
}

void ConsoleUserInterface::ShowWarning(const std::string& text) {
    std::cerr << "warning: " << NormaliseLineBreaks(text) << '\n' << std::flush;
}

std::optional<std::string> ConsoleUserInterface::ClipboardText() { return std::nullopt; }

int16_t RecordingUserInterface::ShowMessageBox(const std::string& prompt, int32_t style, const std::string& title) {
    messages.push_back({prompt, style, title});
    return msgbox::ResultOk;
}

UserInterface& CurrentUserInterface() {
    thread_local ConsoleUserInterface console;
    if (installed) return *installed;
    return console;
}

void SetUserInterface(std::shared_ptr<UserInterface> ui) { installed = std::move(ui); }

}  // namespace pelmar
