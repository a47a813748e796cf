#pragma once
// Reading a worksheet of an xlsx workbook, streamed: the zip's parts inflate
// piece by piece into an XML parser and only the row being read is held
// (besides the shared strings). What it gives fits the standard CSV
// listing: a header from the first row that holds anything and a row of the
// record store per sheet row, keyed by the sheet's row number, so that the
// header's mapping, normalisation, the rejects file, the report and the
// duplicates work on it as on a CSV file.
//
// A workbook that cannot be read whole is refused whole: not a workbook, a
// password-protected one, a sheet that is not there, a part that inflates
// past the limits, a path outside the archive, XML that declares entities,
// a cell longer than a cell may be. The refusal is an Error numbered
// errnum::InvalidFileFormat whose description says why, as a sentence.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/record_store.h"
#include "core/run_observer.h"
#include "core/xlsx_limits.h"
#include "core/xlsx_sheet.h"

namespace pelmar {

struct XlsxReadOptions {
    std::string sheet = {};  // its name; empty for the workbook's first worksheet
    xlsx::Limits limits = {};
};

// Reads the sheet of the workbook at `path` (or in `bytes`) into `sink`.
// Throws the refusal, or the file error of a file that cannot be opened.
void ReadXlsxSheet(const std::string& path, const XlsxReadOptions& options, xlsx::SheetSink& sink);
void ReadXlsxSheetFromBytes(std::string_view bytes, const XlsxReadOptions& options, xlsx::SheetSink& sink);

struct XlsxListingJob {
    std::string sourceFile;  // trimmed before it is opened
    std::string sheet = {};  // empty: the first worksheet
    bool header = true;      // the first row that holds anything names the columns
    // Rows above this one are not listed; the header is the first row
    // wherever this points.
    double startRow = 1;
    xlsx::Limits limits = {};
};

// As ListCsvSource: empties `rows` and `header`, then lists every row of the
// sheet that holds anything (a row whose cells are all blank is skipped),
// keyed by its row number, with its cells up to its last one that is not
// empty. A refused workbook lists nothing: the failure is recorded, and
// shown as "Cannot read the workbook 'FILE': REASON". True when the whole
// sheet was listed.
bool ListXlsxSource(const XlsxListingJob& job, RecordStore& rows, std::vector<std::string>& header,
                    RunObserver& observer);

}  // namespace pelmar

namespace pelmar {

// The sheet as CSV text, a CR LF line per row that holds anything, for a
// preview of what the listing reads. Throws as ReadXlsxSheet does.
std::string XlsxSheetText(const std::string& path, const XlsxReadOptions& options);

}  // namespace pelmar
