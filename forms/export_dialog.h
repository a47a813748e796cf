#pragma once
// The export dialog's logic (frmExport) without its window: the destination
// check, the Export button and the state the window shows. The Qt window and
// the batch command drive one ExportDialog and mirror its controls.
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/progress.h"
#include "core/export_run.h"

namespace pelmar {

struct SessionState;

// Texts of the window.
namespace export_captions {
inline constexpr const char* Form = "Export Contacts";
inline constexpr const char* Label1 =
    "This module allows you to export your contacts to a comma delimited text file. Please "
    "select the destination file below and press the 'Export' button to start exporting the "
    "contacts.";
inline constexpr const char* Frame1 = " Select Destination File ";
inline constexpr const char* Label2 = "Destination File";
inline constexpr const char* cmdBrowse = "&Browse";
inline constexpr const char* cmdExport = "&Export";
inline constexpr const char* cmdClose = "&Close";
}  // namespace export_captions

// What the save-file dialog of Browse is set up with.
struct BrowseSettings {
    std::string Filter = "All Files (*.*)|*.*|CSV Files (*.csv)|*.csv";
    int32_t FilterIndex = 2;  // the CSV entry
    bool CancelError = true;
    int32_t Flags = 4100;  // file must exist (4096), read-only box hidden (4)
    std::string InitDir;   // the environment variable "windir" ("" when unset)
};

class ExportDialog {
public:
    enum class Control { None, txtLocation, cmdBrowse, cmdExport, cmdClose };

    // A dialog over `session`: its log, user, RunAt and connections.
    explicit ExportDialog(SessionState& session) : session_(&session) {}

    // Dialog variables; they survive Unload, so the next showing finds them.
    std::string DestinationFile;
    std::string ExportLogFile;

    // Controls; Unload puts them back to their starting state.
    std::string txtLocation;
    ProgressBar ProgressBar1;
    Control Focus = Control::None;

    // The screen's mouse pointer: called with true for the hourglass and
    // false for the normal pointer. Optional.
    std::function<void(bool busy)> SetBusyPointer;
    // Set to end an export run after its current line (a host's interrupt);
    // optional.
    const std::atomic<bool>* StopRequested = nullptr;
    // What the file holds: the dialog's eight quoted fields, or CSV with a
    // header and all 20 fields (a host's choice; the window has the box below).
    ExportFormat Format = ExportFormat::Quoted8;
    // Our own "Standard formats" box: ticked, the destination's extension
    // decides what is written (.vcf cards, .xlsx a workbook, anything else
    // CSV of all 20 fields) and Browse offers those files too.
    bool chkStandardFormats = false;
    ExportNumbers Numbers;  // with the CSV format; a host sets them

    // Creates (owner-only) or empties the file named by the trimmed
    // txtLocation and takes FileName as the destination; the export run
    // writes to the same trimmed path. On failure shows the message, records the
    // error and returns False, keeping the previous destination.
    bool ValidateFile(const std::string& FileName);

    // The focus is about to leave txtLocation: validates a non-blank box.
    // Returns False when the focus must stay in the box.
    bool txtLocation_Validate();

    // Export: the reminder when no destination was validated (nothing
    // returned), else the export run.
    std::optional<ExportSummary> cmdExport_Click();

    // Browse without the file dialog itself: the settings to show it with,
    // and what happens with the chosen name. A cancelled or failed file
    // dialog calls nothing.
    BrowseSettings BrowseSetup() const;
    void BrowseChosen(const std::string& fileName);

    // Closing the window: the controls go back to their starting state.
    void cmdClose_Click() { Unload(); }
    void Unload();

    SessionState& State() const noexcept { return *session_; }
    // The dialog outlives a showing; each showing names the session it serves.
    void SetState(SessionState& session) noexcept { session_ = &session; }

private:
    SessionState* session_;
};

// The one export dialog of the calling thread, shown by every
// ExportContacts call on it, now over `session`.
ExportDialog& ThreadExportDialog(SessionState& session);

}  // namespace pelmar
