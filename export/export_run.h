#pragma once
// The export run (ExportFile): writes the address-book contacts that RunAt
// selects to the dialog's DestinationFile as comma-separated lines, logging
// the run to ExportLogFile and driving the dialog's progress bar.
#include "export/export_dialog.h"

namespace pelmar {

// Every step of the run that fails is logged and the run goes on with the
// next step. Only a failure to log such a failure leaves the run (thrown).
ExportSummary ExportFile(ExportDialog& dialog);

}  // namespace pelmar
