#include "component/window_host.h"

namespace pelmar {

namespace {
// Windows belong to the thread that shows them, so each thread has its hook.
thread_local std::shared_ptr<WindowHost> tHost;
}  // namespace

WindowHost* CurrentWindowHost() { return tHost.get(); }

void SetWindowHost(std::shared_ptr<WindowHost> host) { tHost = std::move(host); }

}  // namespace pelmar
