#include "core/listing_frame.h"

#include <limits>

#include "common/ui.h"

namespace pelmar {

ListedRows::ListedRows(RecordStore& rows, std::vector<std::string>& header, bool hasHeader, double startRow,
                       bool skipBlank)
        : rows_(rows), header_(header), startRow_(startRow), skipBlank_(skipBlank), headerRead_(!hasHeader) {
    rows_.Clear();
    header_.clear();
}

void ListedRows::SetHeader(std::vector<std::string> names) {
    header_ = std::move(names);
    columns_ = std::max(columns_, header_.size());
}

void ListedRows::Finish() {
    if (columns_ > static_cast<std::size_t>(std::numeric_limits<int16_t>::max()))
        throw Error(errnum::Overflow, "Overflow");
    rows_.SetColumnCount(static_cast<int32_t>(columns_));
}

bool RunListing(const ListingFrame& frame, RecordStore& rows, std::vector<std::string>& header, int32_t progressMax,
                RunObserver& observer, const std::function<void(ProgressBar&)>& list) {
    const BusyPointer busy(observer);
    bool listed = true;
    ErrorInfo error;
    try {
        rows.Clear();
        header.clear();
        ProgressBar& progress = observer.Progress();
        progress.SetVisible(true);
        progress.SetMin(0);
        progress.SetValue(0);
        progress.SetMax(std::max(progressMax, 0));
        list(progress);
        progress.SetValue(progress.Max());
    } catch (...) {
        listed = false;
        error = CurrentErrorInfo();
        if (!frame.keepRowsOnFailure) {
            rows.Clear();
            header.clear();
        }
        observer.RecordError(error, std::string("Error occurred while listing data. Sub: ") + frame.routine,
                             LogStamp::None);
    }
    observer.Progress().SetVisible(false);
    if (!listed)
        observer.ShowMessage(frame.failureMessage ? frame.failureMessage(error)
                                                  : "An error has occurred while listing data.\r\nFor detail view log.",
                             msgbox::Critical);
    return listed;
}

}  // namespace pelmar
