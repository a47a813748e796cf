// Part of libPelmarImpExp.so only: a thread that calls the library's entry
// points without a window host of its own gets the Qt windows and message
// boxes. Hosts that link the component in install their own.
#include "component/window_host.h"
#include "gui/qt_window_host.h"

namespace {

[[maybe_unused]] const bool kInstallerSet = [] {
    pelmar::SetWindowHostInstaller(&pelmar::gui::InstallQtWindows);
    return true;
}();

}  // namespace
