#pragma once
// The window-runner hook: how the entry points show their modal windows on the
// calling thread. The Qt windows install one; tests and the batch command
// install their own.
#include <memory>

namespace pelmar {

struct ImportForm;
class ExportDialog;

class WindowHost {
public:
    virtual ~WindowHost() = default;
    // Shows the import wizard for `wizard` modally; returns when it closed.
    virtual void ShowImportWizard(ImportForm& wizard) = 0;
    // Shows the export dialog modally; returns when it closed.
    virtual void ShowExportDialog(ExportDialog& dialog) = 0;
    // Unloads the column mapping, export, import and picker windows, in that
    // order; windows that are not loaded are left alone.
    virtual void UnloadWindows() {}
};

// The calling thread's hook; null until one is installed.
WindowHost* CurrentWindowHost();
void SetWindowHost(std::shared_ptr<WindowHost> host);

// What gives a thread its hook when it calls an entry point without one of
// its own: the shared library sets one that installs the Qt windows and
// message boxes; linked-in hosts install their own hook and set none.
using WindowHostInstaller = void (*)();
void SetWindowHostInstaller(WindowHostInstaller install) noexcept;
// Runs the installer when the calling thread has no hook yet.
void InstallWindowHostIfMissing();

}  // namespace pelmar
