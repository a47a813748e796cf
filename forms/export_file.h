#pragma once
// ExportFile: the export dialog's run. It writes the contacts that RunAt
// selects to the dialog's DestinationFile, logs the run to ExportLogFile and
// drives the dialog's progress bar; afterwards the dialog has no destination
// and the focus is on Close.
#include "forms/export_dialog.h"

namespace pelmar {

// Every step of the run that fails is logged and the run goes on with the
// next step. Only a failure to log such a failure leaves the run (thrown).
ExportSummary ExportFile(ExportDialog& dialog);

}  // namespace pelmar
