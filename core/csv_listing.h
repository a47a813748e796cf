#pragma once
// The standard CSV listing: every record of a CSV source (see csv_reader.h)
// into the record store, for files written by other programs. It reads the
// encodings the import reads (text_file.h).
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/file.h"
#include "core/record_store.h"
#include "core/run_observer.h"

namespace pelmar {

struct CsvListingJob {
    std::string sourceFile;  // trimmed before it is opened
    char32_t delimiter = U',';
    bool header = true;  // the first record names the columns
    // Records that start on an earlier line of the file are not listed; the
    // header is the first record wherever this points.
    double startRow = 1;
    int32_t sourceLineCount = 0;  // the progress bar's maximum
    // The file's text as the file check read it for the preview, and its
    // stamp if it had settled (see ReadTextFile): while the file keeps the
    // stamp, the text is parsed instead of the file read again.
    std::shared_ptr<const std::string> preview = {};
    std::optional<File::Stamp> previewStamp = {};
};

// Empties `rows` and `header`, then lists each record as a row keyed by the
// line it starts on, with every field it has, so that rows may be shorter or
// longer than the header. Records whose fields are all blank (empty lines)
// are skipped. The columns are as many as the header or the longest row has.
// A failure is recorded and shown once, as the listing's is; the rows listed
// before it stay. True when the whole file was listed.
bool ListCsvSource(const CsvListingJob& job, RecordStore& rows, std::vector<std::string>& header,
                   RunObserver& observer);

}  // namespace pelmar
