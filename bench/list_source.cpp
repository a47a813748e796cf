// Lists a source file as the import wizard does when Next is pressed, and
// nothing else: the file check loads the preview (ValidateFile), then the
// listing fills the record store (ImportFile), with the default comma
// delimiter and start row 1. The preview stays loaded, as the wizard keeps it.
// bench/run measures this program's time and peak memory.
//
//   bench_list_source SOURCE LOG
//
// Prints the number of records listed and the bytes the record store holds.
// Kept apart from the rest of bench/ so that it is the one place to follow
// when the listing's interface changes.
#include <cstdio>
#include <string>

#include "forms/import_file.h"
#include "forms/import_form.h"
#include "forms/source_check.h"
#include "session/logger_factory.h"
#include "session/session_state.h"

int main(int argc, char** argv) {
    using namespace pelmar;
    if (argc != 3) {
        std::fprintf(stderr, "usage: bench_list_source SOURCE LOG\n");
        return 2;
    }
    SessionState session;
    session.LogFilePath = argv[2];
    session.Logger = CreateEventLogger();

    ImportForm form(session);
    form.controls.txtLocation = argv[1];
    if (!ValidateFile(form, form.controls.txtLocation).Loaded()) return 1;
    form.controls.optDelimeter = DelimiterComma;
    form.controls.txtStartFromRow = "1";
    ImportFile(form);

    std::printf("%d records, %zu bytes in the record store, %zu bytes of preview\n", form.lvwContacts.RowCount(),
                form.lvwContacts.MemoryUsage(), form.controls.rtfPreview.size());
    return form.lvwContacts.RowCount() > 0 ? 0 : 1;
}
