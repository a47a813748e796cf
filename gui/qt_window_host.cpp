#include "gui/qt_window_host.h"

#include <memory>

#include "common/ui.h"
#include "gui/application.h"
#include "gui/export_window.h"
#include "gui/import_wizard_window.h"
#include "gui/qt_user_interface.h"

namespace pelmar::gui {

void QtWindowHost::ShowImportWizard(ImportForm& wizard) {
    GuiApplication();
    ImportWizardWindow window(wizard);
    window.exec();
    window.RethrowFailure();
}

void QtWindowHost::ShowExportDialog(ExportDialog& dialog) {
    GuiApplication();
    ExportWindow window(dialog);
    window.exec();
    window.RethrowFailure();
}

void QtWindowHost::UnloadWindows() { FormWindow::UnloadAll(); }

void InstallQtWindows() {
    SetUserInterface(std::make_shared<QtUserInterface>());
    SetWindowHost(std::make_shared<QtWindowHost>());
}

}  // namespace pelmar::gui
