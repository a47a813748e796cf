#pragma once
// The import wizard's state that its logic, the run and the batch command
// share: the form variables, and the controls they are read from. A window
// mirrors this state and calls the wizard's handlers; it holds none of its own.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/file.h"
#include "common/progress.h"
#include "common/shared_text.h"
#include "core/import_run.h"
#include "core/record_store.h"
#include "core/source_format.h"

namespace pelmar {

struct SessionState;

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
enum class ImportControl { None, txtLocation, txtOther, txtStartFromRow, cmdClose, cboPhoneRegion };

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
    // "Standard CSV (header row, quoted fields, any line ends)": the source
    // is read as CSV, mapped by its header and normalised.
    bool chkStandardCsv = false;
    // "Skip contacts already in the destination", read only with the
    // standard CSV box: a record whose mobile number is there is skipped.
    bool chkSkipDuplicates = false;
    // "Phone region" and "Mobile numbers only", read only with the standard
    // CSV box: mobile numbers checked against the region's numbering plan
    // and stored in E.164 (empty: not checked), and only mobiles taken. The
    // text is a region's two letters, calling code or name, or an item of
    // the list ("IN India").
    std::string cboPhoneRegion;
    bool chkMobileOnly = false;
    bool phoneRegionOffered = false;  // the locale's region was put in the box
    // Page 2 (fraSecond) shown instead of page 1 (fraFirst).
    bool fraSecondVisible = false;
    bool txtOtherVisible = false;
    bool cmdCloseEnabled = true;
    // The control a handler gave the focus to.
    ImportControl ActiveControl = ImportControl::None;
};

// Everything one wizard holds: a fresh one per ImportContacts call.
struct ImportForm {
    explicit ImportForm(SessionState& state) : session(state) {}

    // What Init established, shared with the wizard's other windows: the
    // connections, the log, the user, the destination and the ColumnMap.
    SessionState& session;
    ImportFormVariables vars;
    ImportControls controls;
    RecordStore lvwContacts;
    // The source as it was when rtfPreview was read from it whole, if it had
    // settled then: the listing cuts the preview instead of reading the file
    // again while the file stays so.
    std::optional<File::Stamp> PreviewStamp;
    // The mouse pointer over the form: true for the hourglass, false for the
    // normal pointer. Optional; a window sets it.
    std::function<void(bool busy)> SetBusyPointer;
    // What the run may do beyond the specified one (batches, an interrupt);
    // a host sets them, the window leaves them off.
    ImportOptions RunOptions;
    // Shows the controls' state at once, before a long step (Next repaints
    // page 2 before it lists). Optional; a window sets it.
    std::function<void()> Repaint;

    // With the standard CSV format: whether the source begins with a header
    // (the check box says so; a host may say otherwise), the header the
    // listing read, and the rejects file, "" for the source's name with
    // ".rejects.csv".
    bool CsvHasHeader = true;
    // The user's region ("IN"), offered in the phone region box when the
    // standard CSV box is first ticked; a window sets it from its locale.
    std::string LocaleRegion;
    std::vector<std::string> CsvHeader;
    std::string RejectsFile;
    // The records the last run put in the rejects file; the lines the runs
    // of this wizard appended to the rejected-records file.
    int32_t RejectsWritten = 0;
    // Lines the runs of this wizard appended to the rejected-records file.
    int32_t BadLinesWritten = 0;

    // With the standard CSV format: the reader of the source (unset, its
    // name's extension decides: .vcf cards, .xlsx a workbook), the sheet of a
    // workbook ("" for its first), and the reader the last listing used.
    std::optional<FileFormat> StandardFormat;
    std::string Sheet;
    FileFormat ListedFormat = FileFormat::Csv;
};

}  // namespace pelmar
