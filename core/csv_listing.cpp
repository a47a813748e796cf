#include "core/csv_listing.h"

#include <algorithm>

#include "common/text.h"
#include "core/csv_reader.h"
#include "core/listing_frame.h"
#include "core/text_file.h"

namespace pelmar {

bool ListCsvSource(const CsvListingJob& job, RecordStore& rows, std::vector<std::string>& header,
                   RunObserver& observer) {
    return RunListing(
        {.routine = "ListCsvSource"}, rows, header, job.sourceLineCount, observer, [&](ProgressBar& progress) {
            ListedRows listed(rows, header, job.header, job.startRow);
            TextFileReader reader(Trim(job.sourceFile));
            CsvParser parser(job.delimiter);
            const CsvParser::Sink list = [&](const CsvRecord& record) { listed.Add(record.line, record.fields); };
            for (std::string_view piece; !(piece = reader.ReadPiece()).empty();) {
                parser.Feed(piece, list);
                progress.SetValue(std::min(parser.Line() - 1, progress.Max()));
            }
            parser.Finish(list);
            listed.Finish();
        });
}

}  // namespace pelmar
