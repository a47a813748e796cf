#pragma once
// The files from other programs that the standard CSV box reads: standard
// CSV, vCard and xlsx workbooks. Which reader a source needs, its preview,
// its listing, and the rejects file of what was listed.
#include <cstdint>
#include <optional>
#include <string>

#include "common/file.h"
#include "core/rejects_file.h"
#include "core/run_observer.h"
#include "core/source_format.h"
#include "core/text_file.h"
#include "core/vcard_rejects.h"
#include "forms/import_form.h"

namespace pelmar {

// Browse's file types with the standard CSV box ticked: the wizard's, and
// the files of other programs the box reads.
std::string BrowseFilterOf(const ImportForm& form);

// The form's StandardFormat, or else the one the source's name says.
FileFormat StandardFormatOf(const ImportForm& form);

// The preview of `path`: its text, or a card file's or a workbook's records
// as CSV text. `settled` receives the file's stamp when the preview is the
// file's settled text (see ReadTextFile), nothing otherwise.
std::string StandardPreview(const ImportForm& form, const std::string& path, EncodingChoice* encoding,
                            std::optional<File::Stamp>* settled);

// Lists the source with its format's reader into the form's record store
// and header, and says which in ListedFormat.
void ListStandardSource(ImportForm& form, RunObserver& observer);

// The rejects file of the format listed: the source's own kind of file
// (.rejects.vcf for cards, .rejects.csv for CSV and sheets) unless the form
// names one.
class StandardRejects {
public:
    explicit StandardRejects(ImportForm& form);
    ProblemSink& Sink();
    int32_t Records() const;

private:
    std::optional<RejectsFile> rows_;
    std::optional<VcardRejectsFile> cards_;
};

}  // namespace pelmar
