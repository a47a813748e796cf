#include "component/window_host.h"

#include <atomic>

namespace pelmar {

namespace {
// Windows belong to the thread that shows them, so each thread has its hook.
thread_local std::shared_ptr<WindowHost> tHost;
// Set once while the library loads, read by any thread.
std::atomic<WindowHostInstaller> gInstaller{nullptr};
}  // namespace

WindowHost* CurrentWindowHost() { return tHost.get(); }

void SetWindowHost(std::shared_ptr<WindowHost> host) { tHost = std::move(host); }

void SetWindowHostInstaller(WindowHostInstaller install) noexcept { gInstaller = install; }

void InstallWindowHostIfMissing() {
    if (tHost) return;
    if (const WindowHostInstaller install = gInstaller) install();
}

}  // namespace pelmar
