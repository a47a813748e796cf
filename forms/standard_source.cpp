#include "forms/standard_source.h"

#include "common/text.h"
#include "core/csv_listing.h"
#include "core/text_file.h"
#include "core/vcard_listing.h"
#include "core/xlsx_reader.h"
#include "forms/source_check.h"

namespace pelmar {

std::string BrowseFilterOf(const ImportForm& form) {
    std::string filter = kBrowseFilter;
    if (form.controls.chkStandardCsv) filter += "|Contact files (*.csv *.txt *.vcf *.xlsx)|*.csv;*.txt;*.vcf;*.xlsx";
    return filter;
}

FileFormat StandardFormatOf(const ImportForm& form) {
    return form.StandardFormat.value_or(FileFormatOfName(Trim(form.controls.txtLocation)));
}

std::string StandardPreview(const ImportForm& form, const std::string& path, EncodingChoice* encoding,
                            std::optional<File::Stamp>* settled) {
    // Cards and sheets are shown as the CSV text their readers make of them.
    *settled = std::nullopt;
    if (form.controls.chkStandardCsv) {
        switch (StandardFormatOf(form)) {
            case FileFormat::Xlsx: return XlsxSheetText(Trim(path), {.sheet = form.Sheet});
            case FileFormat::Vcard: return VcardSheetText(path, encoding);
            case FileFormat::Csv: break;
        }
    }
    return ReadTextFile(path, encoding, settled);
}

void ListStandardSource(ImportForm& form, RunObserver& observer) {
    form.ListedFormat = StandardFormatOf(form);
    const double startRow = LeadingNumber(form.controls.txtStartFromRow);
    switch (form.ListedFormat) {
        case FileFormat::Csv:
            ListCsvSource({.sourceFile = form.vars.SourceFile,
                           .delimiter = form.vars.Delimiter,
                           .header = form.CsvHasHeader,
                           .startRow = startRow,
                           .sourceLineCount = form.vars.SourceLineCount,
                           .preview = form.controls.rtfPreview.Shared(),
                           .previewStamp = form.PreviewStamp},
                          form.lvwContacts, form.CsvHeader, observer);
            break;
        case FileFormat::Vcard:
            // The cards' header is the field names themselves.
            form.CsvHasHeader = true;
            ListVcardSource({.sourceFile = form.vars.SourceFile,
                             .sourceLineCount = form.vars.SourceLineCount,
                             .previewBytes = form.controls.rtfPreview.size()},
                            form.lvwContacts, form.CsvHeader, observer);
            break;
        case FileFormat::Xlsx:
            ListXlsxSource({.sourceFile = form.vars.SourceFile,
                            .sheet = form.Sheet,
                            .header = form.CsvHasHeader,
                            .startRow = startRow},
                           form.lvwContacts, form.CsvHeader, observer);
            break;
    }
}

StandardRejects::StandardRejects(ImportForm& form) {
    const std::string& source = form.vars.SourceFile;
    if (form.ListedFormat == FileFormat::Vcard) {
        if (form.RejectsFile.empty()) form.RejectsFile = DefaultVcardRejectsPath(source);
        cards_.emplace(form.RejectsFile, source);
        return;
    }
    if (form.RejectsFile.empty()) form.RejectsFile = DefaultRejectsPath(source);
    const bool sheet = form.ListedFormat == FileFormat::Xlsx;
    rows_.emplace(form.RejectsFile, source, form.CsvHeader, form.CsvHasHeader, form.lvwContacts,
                  sheet ? U',' : form.vars.Delimiter, sheet ? "Row" : "Line");
}

ProblemSink& StandardRejects::Sink() {
    if (cards_) return *cards_;
    return *rows_;
}

int32_t StandardRejects::Records() const { return cards_ ? cards_->Records() : rows_->Records(); }

}  // namespace pelmar
