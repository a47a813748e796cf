#pragma once
// The import wizard's logic (frmImport) without its window: loading, the
// page-1 checks and what Next does, Previous, the destination chosen in the
// picker, the small option handlers, Finish and unloading. The Qt window and
// the batch command both drive it.
#include <cstdint>
#include <optional>
#include <string>

#include "core/enums.h"
#include "core/import_run.h"
#include "forms/import_form.h"

namespace pelmar {

class SelectFolderDialog;

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
    // Next: True when the checks passed and page 2 was entered and listed.
    bool Next();
    void Previous();
    // Finish: the import run; its result, or nothing when its opening checks
    // stopped it.
    std::optional<ImportRunCounts> Finish();
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
    void DelimiterOptionClick(int32_t index);
    // Key press in the start-row box: True when the key may pass.
    bool StartRowKeyPress(int16_t keyAscii);
    // Key down in the start-row box (38 up, 40 down).
    void StartRowKeyDown(int32_t keyCode);

    ImportForm& Form() noexcept { return form_; }

private:
    bool Refuse(const std::string& message, ImportControl focus);

    ImportForm& form_;
};

}  // namespace pelmar
