#include "forms/import_file.h"

#include "common/text.h"
#include "core/listing.h"
#include "forms/standard_source.h"
#include "forms/wizard_observer.h"

namespace pelmar {
namespace {

void ChooseDelimiter(ImportForm& form) {
    switch (form.controls.optDelimeter) {
        case DelimiterComma: form.vars.SetDelimiter(","); break;
        case DelimiterTab: form.vars.SetDelimiter("\t"); break;
        case DelimiterSemicolon: form.vars.SetDelimiter(";"); break;
        case DelimiterSpace: form.vars.SetDelimiter(" "); break;
        case DelimiterOther: form.vars.SetDelimiter(Trim(form.controls.txtOther)); break;
        default: break;  // no option set: the delimiter stays as it was
    }
}

}  // namespace

// Kept on purpose: docs/behaviour.md#the-start-row-read-as-a-number
void ImportFile(ImportForm& form) {
    // Mapping needs a listed row: a run that fails before the start row lists none.
    form.controls.cmdMappingEnabled = false;
    ChooseDelimiter(form);
    WizardObserver observer(form);
    if (form.controls.chkStandardCsv)
        ListStandardSource(form, observer);
    else
        ListSource({.sourceFile = form.vars.SourceFile,
                    .delimiter = form.vars.Delimiter,
                    .startRow = LeadingNumber(form.controls.txtStartFromRow),
                    .sourceLineCount = form.vars.SourceLineCount,
                    .preview = form.controls.rtfPreview.Shared(),
                    .previewStamp = form.PreviewStamp},
                   form.lvwContacts, observer);
    form.controls.cmdMappingEnabled = form.lvwContacts.RowCount() > 0;
}

}  // namespace pelmar
