#include "core/vcard_listing.h"

#include <algorithm>

#include "common/text.h"
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
                          VcardReader reader(Trim(job.sourceFile));
                          for (VcardCard card; reader.Next(card);) {
                              listed.Add(card.line, card.fields);
                              progress.SetValue(std::min(reader.LinesRead(), progress.Max()));
                          }
                          listed.Finish();
                      });
}

}  // namespace pelmar
