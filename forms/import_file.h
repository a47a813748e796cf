#pragma once
// The source listing (ImportFile): splits every line of SourceFile from the
// start row on into the preview list, driving the form's progress bar.
#include "forms/import_form.h"

namespace pelmar {

void ImportFile(ImportForm& form);

}  // namespace pelmar
