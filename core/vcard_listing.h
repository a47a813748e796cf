#pragma once
// The vCard listing: every card of a vCard file into the record store as a
// row of the twenty contact fields, under a header of their names, so that
// the standard format's header mapping, normalisation, rejects and report
// read it as they read a CSV file's rows.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/record_store.h"
#include "core/run_observer.h"
#include "core/text_file.h"

namespace pelmar {

struct VcardListingJob {
    std::string sourceFile;  // trimmed before it is opened
    // The progress bar's maximum: the lines of the preview, a header and a
    // line per card (VcardSheetText).
    int32_t sourceLineCount = 0;
    // The preview's bytes, about what the cards' fields take: room made for
    // them at once rather than step by step.
    std::size_t previewBytes = 0;
};

// "FirstName" .. "Hobby", the columns of every row the listing gives.
std::vector<std::string> VcardHeader();

// Empties `rows` and `header`, then lists each card as a row keyed by the
// line of its BEGIN:VCARD, with all twenty fields. A failure is recorded and
// shown once, as the CSV listing's is; the rows listed before it stay. True
// when the whole file was listed.
bool ListVcardSource(const VcardListingJob& job, RecordStore& rows, std::vector<std::string>& header,
                     RunObserver& observer);

// The cards as CSV text, a CR LF line each under a header of the field
// names, for a preview of what the listing reads; `encoding` gets how the
// file was decoded. A file without a line gives no text.
std::string VcardSheetText(const std::string& path, EncodingChoice* encoding);

}  // namespace pelmar
