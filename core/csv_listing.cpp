#include "core/csv_listing.h"

#include <algorithm>
#include <limits>

#include "common/error.h"
#include "common/text.h"
#include "common/ui.h"
#include "core/csv_reader.h"
#include "core/text_file.h"

namespace pelmar {
namespace {

bool IsBlankRecord(const CsvRecord& record) {
    return std::ranges::all_of(
        record.fields, [](std::string_view field) { return field.find_first_not_of(" \t") == std::string_view::npos; });
}

}  // namespace

bool ListCsvSource(const CsvListingJob& job, RecordStore& rows, std::vector<std::string>& header,
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

        TextFileReader reader(Trim(job.sourceFile));
        CsvParser parser(job.delimiter);
        bool headerRead = !job.header;
        std::size_t columns = 0;
        const CsvParser::Sink list = [&](const CsvRecord& record) {
            if (IsBlankRecord(record)) return;
            if (!headerRead) {
                header.assign(record.fields.begin(), record.fields.end());
                headerRead = true;
                columns = header.size();
                return;
            }
            if (record.line < job.startRow) return;
            rows.AddRow(record.line, record.fields.front());
            for (std::size_t i = 1; i < record.fields.size(); ++i) rows.AddSubItem(record.fields[i]);
            columns = std::max(columns, record.fields.size());
        };
        for (std::string_view piece; !(piece = reader.ReadPiece()).empty();) {
            parser.Feed(piece, list);
            progress.SetValue(std::min(parser.Line() - 1, progress.Max()));
        }
        parser.Finish(list);
        if (columns > static_cast<std::size_t>(std::numeric_limits<int16_t>::max()))
            throw Error(errnum::Overflow, "Overflow");
        rows.SetColumnCount(static_cast<int32_t>(columns));
        progress.SetValue(progress.Max());
    } catch (...) {
        listed = false;
        observer.RecordError(CurrentErrorInfo(), "Error occurred while listing data. Sub: ListCsvSource",
                             LogStamp::None);
    }
    observer.Progress().SetVisible(false);
    if (!listed)
        observer.ShowMessage("An error has occurred while listing data.\r\nFor detail view log.", msgbox::Critical);
    observer.SetBusy(false);
    return listed;
}

}  // namespace pelmar
