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
            CsvParser parser(job.delimiter);
            const CsvParser::Sink list = [&](const CsvRecord& record) { listed.Add(record.line, record.fields); };
            const auto feed = [&](std::string_view piece) {
                parser.Feed(piece, list);
                progress.SetValue(std::min(parser.Line() - 1, progress.Max()));
            };
            const std::string path = Trim(job.sourceFile);
            if (job.preview && StillAsRead(path, job.previewStamp)) {
                // In pieces as the reader's, so that the progress bar moves.
                for (std::string_view rest = *job.preview; !rest.empty();) {
                    const std::string_view piece = rest.substr(0, TextFileReader::kChunkSize);
                    rest.remove_prefix(piece.size());
                    feed(piece);
                }
            } else {
                TextFileReader reader(path);
                for (std::string_view piece; !(piece = reader.ReadPiece()).empty();) feed(piece);
            }
            parser.Finish(list);
            listed.Finish();
        });
}

}  // namespace pelmar
