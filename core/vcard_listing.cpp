#include "core/vcard_listing.h"

#include <algorithm>

#include "common/error.h"
#include "common/text.h"
#include "common/ui.h"
#include "core/vcard_reader.h"

namespace pelmar {

std::vector<std::string> VcardHeader() { return {kContactFieldNames.begin(), kContactFieldNames.end()}; }

bool ListVcardSource(const VcardListingJob& job, RecordStore& rows, std::vector<std::string>& header,
                     RunObserver& observer) {
    bool listed = true;
    try {
        rows.Clear();
        header.clear();
        observer.SetBusy(true);
        ProgressBar& progress = observer.Progress();
        progress.SetVisible(true);
        progress.SetMin(0);
        progress.SetValue(0);
        progress.SetMax(std::max(job.sourceLineCount, 0));

        header = VcardHeader();
        rows.SetColumnCount(kContactFieldCount);
        VcardReader reader(Trim(job.sourceFile));
        for (VcardCard card; reader.Next(card);) {
            rows.AddRow(card.line, card.fields.front());
            for (std::size_t i = 1; i < card.fields.size(); ++i) rows.AddSubItem(card.fields[i]);
            progress.SetValue(std::min(reader.LinesRead(), progress.Max()));
        }
        progress.SetValue(progress.Max());
    } catch (...) {
        listed = false;
        observer.RecordError(CurrentErrorInfo(), "Error occurred while listing data. Sub: ListVcardSource",
                             LogStamp::None);
    }
    observer.Progress().SetVisible(false);
    if (!listed)
        observer.ShowMessage("An error has occurred while listing data.\r\nFor detail view log.", msgbox::Critical);
    observer.SetBusy(false);
    return listed;
}

}  // namespace pelmar
