#include "component/import_outputs.h"

#include "forms/import_form.h"

namespace pelmar {
namespace {

thread_local ImportOutputs tLast;

}  // namespace

const ImportOutputs& LastImportOutputs() { return tLast; }

void RecordImportOutputs(const ImportForm* form) {
    tLast = {};
    if (!form) return;
    if (form->BadLinesWritten > 0) tLast.badFile = form->vars.BadFile;
    if (form->RejectsWritten > 0) tLast.rejectsFile = form->RejectsFile;
}

}  // namespace pelmar
