#include "core/vcard_listing.h"

#include <algorithm>

#include "common/text.h"
#include "core/csv_reader.h"
#include "core/listing_frame.h"
#include "core/vcard_reader.h"

namespace pelmar {

std::vector<std::string> VcardHeader() { return {kContactFieldNames.begin(), kContactFieldNames.end()}; }

bool ListVcardSource(const VcardListingJob& job, RecordStore& rows, std::vector<std::string>& header,
                     RunObserver& observer) {
    return RunListing({.routine = "ListVcardSource"}, rows, header, job.sourceLineCount, observer,
                      [&](ProgressBar& progress) {
                          // Every card is a record, an empty one too: the run says why it is not imported.
                          ListedRows listed(rows, header, false, 1, false);
                          listed.SetHeader(VcardHeader());
                          const auto cards = static_cast<std::size_t>(std::max(job.sourceLineCount - 1, 0));
                          listed.Reserve(cards, cards * kContactFieldCount, job.previewBytes);
                          VcardReader reader(Trim(job.sourceFile));
                          int32_t lines = 1;  // the header's
                          for (VcardCard card; reader.Next(card);) {
                              listed.Add(card.line, card.fields);
                              progress.SetValue(std::min(++lines, progress.Max()));
                          }
                          listed.Finish();
                      });
}

std::string VcardSheetText(const std::string& path, EncodingChoice* encoding) {
    VcardReader reader(Trim(path));
    std::vector<std::string> fields = VcardHeader();
    std::string text = CsvLine(fields, U',') + "\r\n";
    for (VcardCard card; reader.Next(card);) {
        std::move(card.fields.begin(), card.fields.end(), fields.begin());
        text += CsvLine(fields, U',');
        text += "\r\n";
    }
    if (encoding) *encoding = reader.Choice();
    if (reader.LinesRead() == 0) text.clear();
    return text;
}

}  // namespace pelmar
