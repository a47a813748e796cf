#pragma once
// What the listings of files from other programs (standard CSV, vCard, a
// sheet) share: the rows they fill (header, start row, blank records, the
// column count) and the frame around a listing (busy pointer, progress bar,
// one failure recorded and shown), so that each reader only reads.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/error.h"
#include "common/progress.h"
#include "core/record_store.h"
#include "core/run_observer.h"

namespace pelmar {

// Fills the record store with the records a reader gives, one at a time.
class ListedRows {
public:
    // Empties `rows` and `header`. With `hasHeader`, the first record that is
    // not blank becomes the header; records keyed before `startRow` are left
    // out (the header is still the first record wherever it points).
    ListedRows(RecordStore& rows, std::vector<std::string>& header, bool hasHeader, double startRow,
               bool skipBlank = true);

    // A header fixed by the format rather than read from the source.
    void SetHeader(std::vector<std::string> names);
    // Room in the store, as RecordStore::Reserve makes.
    void Reserve(std::size_t rows, std::size_t fields, std::size_t textBytes) {
        rows_.Reserve(rows, fields, textBytes);
    }

    // One record, keyed by its line (or row); any range of texts.
    template <typename Fields>
    void Add(int32_t key, const Fields& fields) {
        if (skipBlank_ && std::ranges::all_of(fields, IsBlank)) return;
        if (!headerRead_) {
            header_.assign(std::ranges::begin(fields), std::ranges::end(fields));
            headerRead_ = true;
            columns_ = header_.size();
            return;
        }
        if (key < startRow_) return;
        auto field = std::ranges::begin(fields);
        rows_.AddRow(key, *field);
        std::size_t count = 1;
        for (++field; field != std::ranges::end(fields); ++field, ++count) rows_.AddSubItem(*field);
        columns_ = std::max(columns_, count);
    }

    // Sets the store's column count: as many as the header or the longest
    // record has. Throws Overflow past what a listing holds.
    void Finish();

    std::size_t MemoryUsage() const noexcept { return rows_.MemoryUsage(); }

private:
    static bool IsBlank(std::string_view field) { return field.find_first_not_of(" \t") == std::string_view::npos; }

    RecordStore& rows_;
    std::vector<std::string>& header_;
    double startRow_;
    bool skipBlank_;
    bool headerRead_;
    std::size_t columns_ = 0;
};

struct ListingFrame {
    const char* routine;  // named in the log line of a failure ("Sub: ...")
    // Rows listed before a failure stay, unless the source is refused whole.
    bool keepRowsOnFailure = true;
    // The message a failure shows; empty for the listing's own.
    std::function<std::string(const ErrorInfo&)> failureMessage = {};
};

// Runs `list` with the pointer busy and the progress bar shown from 0 (its
// maximum `progressMax`, which `list` may change); a failure is recorded and
// shown once. True when `list` ran to its end.
bool RunListing(const ListingFrame& frame, RecordStore& rows, std::vector<std::string>& header, int32_t progressMax,
                RunObserver& observer, const std::function<void(ProgressBar&)>& list);

}  // namespace pelmar
