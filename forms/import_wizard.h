#pragma once
// The import wizard's logic (frmImport) without its window: loading, the
// page-1 checks and what Next does, Previous, the destination chosen in the
// picker, the small option handlers, Finish and unloading. The Qt window and
// the batch command both drive it.
#include <cstdint>
#include <string>

#include "core/enums.h"
#include "core/import_run.h"
#include "forms/import_form.h"

namespace pelmar {

class SelectFolderDialog;

// What Next did.
struct NextResult {
    enum class Outcome {
        Listed,   // page 2 entered and the source listed
        Refused,  // a page-1 check refused; page 1 stays
    };
    Outcome outcome = Outcome::Refused;
    std::string reason;   // Refused: the message shown
    int32_t records = 0;  // Listed: the rows listed

    bool Listed() const noexcept { return outcome == Outcome::Listed; }
};

// What Finish did: the run's outcome and result, and the files it wrote.
struct FinishResult {
    enum class Outcome {
        NotStarted,           // the run's opening checks stopped it (their message was shown)
        Completed,            // every record ran, none failed
        CompletedWithErrors,  // every record ran, some failed or were rejected
        Interrupted,          // stopped before its last record
    };
    Outcome outcome = Outcome::NotStarted;
    ImportResult run;  // counts, lost lines and, when asked for, the problems
    std::string logFile;
    std::string badFile;
    int32_t badLines = 0;  // lines this run wrote to badFile
    // With the standard CSV format: the rejects file and the records this run
    // wrote to it ("" and 0 otherwise).
    std::string rejectsFile;
    int32_t rejectsWritten = 0;

    bool Started() const noexcept { return outcome != Outcome::NotStarted; }
};

// Decodes a picker key ("LFLD12", "SHGR3", ...) into the destination kind and
// id: an unknown prefix leaves `importTo` as it is; the id is the trimmed
// rest of the key from its fifth character on.
void DecodeDestinationKey(const std::string& key, ImportToType& importTo, std::string& importToID);

class ImportWizard {
public:
    explicit ImportWizard(ImportForm& form) : form_(form) {}

    // Form load: spinner and preview label, the connections opened, the
    // default destination. A failure to open a connection is thrown.
    void Load();
    // Next: the page-1 checks, then page 2 entered and the source listed.
    NextResult Next();
    void Previous();
    // Finish: the import run.
    FinishResult Finish();
    // Unload, for any reason: the connections closed.
    void Unload();

    // After the picker closed: its choice becomes the destination.
    void ApplyPickerResult(const SelectFolderDialog& picker);

    void ChkPresentClick(bool checked);
    // The standard CSV check box: the listing, the default mapping and the
    // run read the source as CSV, normalised.
    void StandardCsvClick(bool checked);
    // The duplicates check box under it.
    void SkipDuplicatesClick(bool checked);
    // The phone region box and the mobile numbers box beside it.
    void PhoneRegionChange(const std::string& text);
    void MobileOnlyClick(bool checked);
    void DelimiterOptionClick(int32_t index);
    // Key press in the start-row box: True when the key may pass.
    bool StartRowKeyPress(int16_t keyAscii);
    // Key down in the start-row box (38 up, 40 down).
    void StartRowKeyDown(int32_t keyCode);

    ImportForm& Form() noexcept { return form_; }

private:
    NextResult Refuse(const char* message, ImportControl focus);

    ImportForm& form_;
};

}  // namespace pelmar
