#include "forms/window_additions.h"

#include "forms/export_dialog.h"
#include "forms/source_check.h"

namespace pelmar {

bool EndsLinesInLfOnly(std::string_view text) {
    return text.find('\n') != std::string_view::npos && text.find('\r') == std::string_view::npos;
}

std::string LineEndHint(const ImportForm& form) {
    if (form.controls.chkStandardCsv || !EndsLinesInLfOnly(form.controls.rtfPreview)) return "";
    return kLfOnlyHint;
}

bool SourceDropped(ImportForm& form, const std::string& path) {
    SourceLocationChanged(form, path);
    const bool passed = SourceLocationValidate(form);
    if (!passed) form.controls.ActiveControl = ImportControl::txtLocation;
    return passed;
}

bool DestinationDropped(ExportDialog& dialog, const std::string& path) {
    dialog.txtLocation = path;
    const bool passed = dialog.txtLocation_Validate();
    if (!passed) dialog.Focus = ExportDialog::Control::txtLocation;
    return passed;
}

}  // namespace pelmar
