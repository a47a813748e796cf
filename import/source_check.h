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

}  // namespace pelmar
