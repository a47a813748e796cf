#include "forms/export_dialog.h"

#include <cstdlib>

#include "common/error.h"
#include "common/file.h"
#include "common/general.h"
#include "common/text.h"
#include "common/ui.h"
#include "forms/export_file.h"
#include "session/session_log.h"
#include "session/session_state.h"

namespace pelmar {

// Kept on purpose: docs/behaviour.md#the-export-file-is-made-when-its-path-is-checked
bool ExportDialog::ValidateFile(const std::string& FileName) {
    const SessionState& session = *session_;
    try {
        // Creates or empties it; a new file is the owner's alone.
        File destination(Trim(txtLocation), File::Mode::Output, FileAccess::OwnerOnly);
        DestinationFile = FileName;
        ExportLogFile = session.LogFilePath;
        destination.Close();
        return true;
    } catch (...) {
        ReportFailure(session, session.Logger,
                      "An error has occurred while opening the destination file.\r\nFor detail view log.",
                      CurrentErrorInfo(), "PelmarImpExp: Error occured. Sub: ValidateFile, Module: frmExport",
                      LogStamp::None);
        return false;
    }
}

bool ExportDialog::txtLocation_Validate() {
    if (Trim(txtLocation).empty()) return true;
    return ValidateFile(txtLocation);
}

std::optional<ExportSummary> ExportDialog::cmdExport_Click() {
    if (Trim(DestinationFile).empty()) {
        ShowNotification("Please Select Destination File.", msgbox::Exclamation);
        Focus = Control::txtLocation;
        return std::nullopt;
    }
    return ExportFile(*this);
}

BrowseSettings ExportDialog::BrowseSetup() const {
    BrowseSettings settings;
    if (const char* windir = std::getenv("windir")) settings.InitDir = windir;
    if (chkStandardFormats) settings.Filter += "|Contact files (*.csv *.vcf *.xlsx)|*.csv;*.vcf;*.xlsx";
    return settings;
}

void ExportDialog::BrowseChosen(const std::string& fileName) {
    txtLocation = fileName;
    Focus = Control::txtLocation;
}

void ExportDialog::Unload() {
    txtLocation.clear();
    ProgressBar1 = ProgressBar{};
    Focus = Control::None;
}

ExportDialog& ThreadExportDialog(SessionState& session) {
    thread_local ExportDialog dialog(session);
    dialog.SetState(session);
    return dialog;
}

}  // namespace pelmar
