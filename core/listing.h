#pragma once
// The source listing: splits every line of the source file from the start
// row on into the record store, one row per line, keyed by the line's number.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/file.h"
#include "core/record_store.h"
#include "core/run_observer.h"

namespace pelmar {

struct ListingJob {
    std::string sourceFile;  // trimmed before it is opened
    char32_t delimiter = U',';
    double startRow = 1;          // the start-row box's number; the start row is listed
    int32_t sourceLineCount = 0;  // the progress bar's maximum
    // The file's text as the file check loaded it for the preview, if it is
    // kept: the record store then refers to its lines instead of copying them.
    std::shared_ptr<const std::string> preview = {};
    // The file as it was when the preview was read from it whole, if it had
    // settled then (see ReadTextFile): while it still is, the lines are split
    // from the preview instead of read from the file again.
    std::optional<File::Stamp> previewStamp = {};
};

// Empties `list` and lists the source into it. A line that cannot be listed
// is recorded and the next one listed; a failure before the start row ends
// the listing. Any failure is shown once, at the end.
void ListSource(const ListingJob& job, RecordStore& list, RunObserver& observer);

}  // namespace pelmar
