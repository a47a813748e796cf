// The module's one export: the application object, the component's Manager
// through its C interface, then the host window or the entry point asked for.
#include "gui/host_module.h"

#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <optional>

#include "gui/application.h"
#include "gui/host_window.h"
#include "gui/manager_client.h"

namespace {

int Complain(const std::string& message) {
    std::fprintf(stderr, "pelmar gui: %s\n", message.c_str());
    return 2;
}

int Run(const PelmarGuiHostArgs& args) {
    using namespace pelmar::gui;
    if (!DisplayAvailable()) return Complain("there is no display (DISPLAY or WAYLAND_DISPLAY)");
    const HostSettings settings{args.remote, args.local, args.run_at_client != 0, args.user, args.log};
    const std::string show = args.show;

    static int argc = 1;
    static char name[] = "pelmar";
    static char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    std::optional<ManagerClient> manager;
    try {
        manager.emplace(args.library);
    } catch (const std::exception& e) {
        if (show.empty()) QMessageBox::critical(nullptr, QStringLiteral("PelmarImpExp"), QString::fromUtf8(e.what()));
        return Complain(e.what());
    }
    if (!show.empty()) {
        const EntryPoint entry = show == "import" ? EntryPoint::ImportContacts : EntryPoint::ExportContacts;
        if (CallEntryPoint(*manager, settings, entry) == 1) return 0;
        std::fprintf(stderr, "pelmar gui: the window was not shown; see the log %s\n", manager->LogFile().c_str());
        return 1;
    }
    HostWindow window(*manager, settings);
    window.show();
    return app.exec();
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int pelmar_gui_host_run(const PelmarGuiHostArgs* args) {
    // Nothing is thrown across the module's edge.
    try {
        return Run(*args);
    } catch (const std::exception& e) {
        return Complain(e.what());
    }
}
