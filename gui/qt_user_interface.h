#pragma once
// The user-interface hook of the windows: message boxes as Qt message boxes
// with the icon and buttons the style number asks for, and the clipboard.
#include "common/ui.h"

namespace pelmar::gui {

class QtUserInterface : public UserInterface {
public:
    int16_t ShowMessageBox(const std::string& prompt, int32_t style, const std::string& title) override;
    std::optional<std::string> ClipboardText() override;
};

// The busy pointer while a run works: the application's override cursor,
// set and restored in pairs however often it is asked for.
class BusyPointer {
public:
    BusyPointer() = default;
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
    ~BusyPointer() { Set(false); }
    void Set(bool busy);

private:
    bool busy_ = false;
};

}  // namespace pelmar::gui
