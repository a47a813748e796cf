#pragma once
// The wizard's check of a chosen source file (ValidateFile): proves the file
// can be opened, loads its text into the preview, counts its lines and derives
// SourceFile, BadFile and ImportLogFile.
#include <cstdint>
#include <string>

#include "forms/import_form.h"

namespace pelmar {

// Returns True when the file was opened and loaded. Messages go through
// ShowNotification / a private EventLogger, as the wizard shows them.
bool ValidateFile(ImportForm& form, const std::string& path);

// The Browse button's file dialog.
inline constexpr const char* kBrowseFilter = "All Files (*.*)|*.*|CSV Files (*.csv)|*.csv";
inline constexpr int32_t kBrowseFilterIndex = 2;  // CSV files
inline constexpr int32_t kBrowseFlags = 4100;     // file must exist, hide read-only

// Page 1's handlers of the location box.
// Browse: the user chose `path` (a cancelled dialog changes nothing and
// does not come here).
void SourceBrowsed(ImportForm& form, const std::string& path);
// Every change typed into the box: moving to the spinner checks it again.
void SourceLocationChanged(ImportForm& form, const std::string& text);
// The focus leaves the box: False keeps the focus in it.
bool SourceLocationValidate(ImportForm& form);

// Page 1 with an empty location: no preview, the start row disabled and the
// spinner back to 1..1.
void ResetSourcePage(ImportForm& form);

}  // namespace pelmar
