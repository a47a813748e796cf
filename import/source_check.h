#pragma once
// The wizard's check of a chosen source file (ValidateFile): proves the file
// can be opened, loads its text into the preview, counts its lines and derives
// SourceFile, BadFile and ImportLogFile.
#include <string>

#include "import/import_form.h"

namespace pelmar {

// Returns True when the file was opened and loaded. Messages go through
// ShowNotification / a private EventLogger, as the wizard shows them.
bool ValidateFile(ImportForm& form, const std::string& path);

// Page 1 with an empty location: no preview, the start row disabled and the
// spinner back to 1..1. (Browse then sets the start row to "1"; the location's
// validation calls RewriteStartRowOne instead.)
void ResetSourcePage(ImportForm& form);

// Writes the start row as "1" when its number is exactly 1 (so "01" becomes
// "1"); any other value stays as typed.
void RewriteStartRowOne(ImportControls& controls);

}  // namespace pelmar
