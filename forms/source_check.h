#pragma once
// The wizard's check of a chosen source file (ValidateFile): proves the file
// can be opened, loads its text into the preview, counts its lines and derives
// SourceFile, BadFile and ImportLogFile.
#include <cstdint>
#include <string>

#include "common/error_info.h"
#include "forms/import_form.h"

namespace pelmar {

// What the check of a source file found.
struct SourceCheck {
    enum class Outcome {
        Loaded,      // opened and loaded into the preview
        NotFound,    // no normal file at the location
        Unreadable,  // it could not be opened or read
        Failed,      // the check itself failed (reported and logged)
    };
    Outcome outcome = Outcome::Failed;
    std::string reason;  // the message the wizard showed; "" when loaded
    ErrorInfo error;     // Unreadable, Failed: what stopped the check
    // Loaded: the source and the files a run of it writes.
    std::string sourceFile;
    std::string badFile;
    std::string logFile;

    bool Loaded() const noexcept { return outcome == Outcome::Loaded; }
};

// Checks the file in the location box and loads `path` into the preview.
// Messages go through ShowNotification / a private EventLogger, as the
// wizard shows them; the result says what they said.
SourceCheck ValidateFile(ImportForm& form, const std::string& path);

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
