#pragma once
// The window host that shows the Qt windows: the entry points' wizard and
// export dialog, modal on the calling thread, which must be the thread of
// the application object.
#include "component/window_host.h"

namespace pelmar::gui {

class QtWindowHost : public WindowHost {
public:
    void ShowImportWizard(ImportForm& wizard) override;
    void ShowExportDialog(ExportDialog& dialog) override;
    void UnloadWindows() override;
};

// Installs the Qt window host and the Qt message boxes on the calling thread.
void InstallQtWindows();

}  // namespace pelmar::gui
