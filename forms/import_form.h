#pragma once
// The import wizard's state that its logic, the run and the batch command
// share: the form variables, and the controls they are read from. A window
// mirrors this state and calls the wizard's handlers; it holds none of its own.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "common/progress.h"
#include "common/shared_text.h"
#include "core/import_run.h"
#include "core/record_store.h"

namespace pelmar {

// The wizard's form variables. They start empty, zero or False each time a
// wizard is created.
struct ImportFormVariables {
    char32_t Delimiter = U' ';  // a text of exactly one character
    std::string SourceFile;
    std::string ImportLogFile;
    std::string BadFile;
    std::string MobilePrefix;
    bool OnlyIfNotPresent = false;
    int32_t SourceLineCount = 0;

    // Keeps the first character of `text`; an empty text gives one blank.
    void SetDelimiter(std::string_view text);
};

// Delimiter option buttons, by index.
enum DelimiterOption : int32_t {
    DelimiterComma = 0,
    DelimiterTab = 1,
    DelimiterSemicolon = 2,
    DelimiterSpace = 3,
    DelimiterOther = 4,
};

// The controls that the wizard's handlers move the focus to.
enum class ImportControl { None, txtLocation, txtOther, txtStartFromRow, cmdClose };

// The page-1 and page-2 controls the logic reads and writes.
struct ImportControls {
    std::string txtLocation;
    int32_t optDelimeter = DelimiterComma;  // the selected option
    std::string txtOther;
    std::string txtStartFromRow = "1";
    bool txtStartFromRowEnabled = false;
    int32_t spnPollingMin = 1;
    int32_t spnPollingMax = 1;
    bool spnPollingCausesValidation = true;  // moving onto the spinner checks the file
    std::string txtImportto;
    std::string txtPrefix;
    bool chkPresent = false;
    std::string lblPreview;
    SharedText rtfPreview;  // the whole source text, as loaded for the preview
    bool cmdMappingEnabled = false;
    bool cmdFinishEnabled = true;
    bool cmdPrevEnabled = true;
    ProgressBar ProgressBar1;
    // Page 2 (fraSecond) shown instead of page 1 (fraFirst).
    bool fraSecondVisible = false;
    bool txtOtherVisible = false;
    bool cmdCloseEnabled = true;
    // The control a handler gave the focus to.
    ImportControl ActiveControl = ImportControl::None;
};

// Everything one wizard holds: a fresh one per ImportContacts call.
struct ImportForm {
    ImportFormVariables vars;
    ImportControls controls;
    RecordStore lvwContacts;
    // The mouse pointer over the form: true for the hourglass, false for the
    // normal pointer. Optional; a window sets it.
    std::function<void(bool busy)> SetBusyPointer;
    // What the run may do beyond the specified one (batches, an interrupt);
    // a host sets them, the window leaves them off.
    ImportOptions RunOptions;
    // The last run's whole result, for hosts that report more than the
    // window shows.
    std::optional<ImportResult> LastRun;
    // Shows the controls' state at once, before a long step (Next repaints
    // page 2 before it lists). Optional; a window sets it.
    std::function<void()> Repaint;
};

}  // namespace pelmar
