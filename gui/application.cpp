#include "gui/application.h"

#include <QApplication>
#include <QThread>

#include "common/error.h"

namespace pelmar::gui {

bool DisplayAvailable() {
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.startsWith("xcb")) return x11;
    if (platform.startsWith("wayland")) return wayland;
    // Any other platform named (offscreen, a frame buffer) brings its own screen.
    return !platform.isEmpty() || x11 || wayland;
}

QApplication& GuiApplication() {
    if (QCoreApplication* existing = QCoreApplication::instance()) {
        auto* app = qobject_cast<QApplication*>(existing);
        if (!app) throw Error(errnum::InvalidProcedureCall, "The host's application object cannot show windows");
        if (app->thread() != QThread::currentThread())
            throw Error(errnum::InvalidProcedureCall,
                        "Windows can be shown only on the thread of the application object");
        return *app;
    }
    if (!DisplayAvailable()) throw Error(errnum::InvalidProcedureCall, "There is no display to show windows on");
    // Made once and kept: the host may go on using Qt after the component
    // is done, and the arguments must outlive the object.
    static int argc = 1;
    static char name[] = "PelmarImpExp";
    static char* argv[] = {name, nullptr};
    return *new QApplication(argc, argv);
}

}  // namespace pelmar::gui
