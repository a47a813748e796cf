#pragma once
// The export run: writes the address-book contacts to the destination file as
// comma-separated lines, one per contact, logging the run and driving the
// progress bar. Every step that fails is logged and the run goes on with the
// next step.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

#include "core/enums.h"
#include "core/phone_number.h"
#include "core/run_observer.h"

namespace pelmar {

namespace db {
class Connection;
}

enum class ExportFormat {
    Quoted8,  // eight fields, each in quotes when not empty, no header
    Csv,      // a header of the 20 field names, all 20 fields, quoted as CSV needs
    Vcard4,   // a vCard 4.0 card per contact of the 20 fields
    Vcard3,   // the same as vCard 3.0
    Xlsx,     // a workbook: a header row of the 20 field names, a row per contact, all text
};

// How the CSV export writes the four phone numbers: as stored, or in
// `format` where they are valid numbers for `region` (empty: only those
// written with "+").
struct ExportNumbers {
    std::optional<PhoneFormat> format;
    std::string region{};
};

struct ExportJob {
    std::string destinationFile;            // as the user named it, for the log and the messages
    std::string outputFile;                 // the file written: exists and is empty when the run starts
    RunApplicationAt runAt = RuntAtServer;  // client: the user's contacts; server: all of them
    int32_t userId = 0;
    // Set (by a signal handler, say) to end the run after the current line;
    // the log says so before its closing lines.
    const std::atomic<bool>* stop = nullptr;
    ExportFormat format = ExportFormat::Quoted8;
    ExportNumbers numbers{};  // with ExportFormat::Csv
};

class ExportObserver : public RunObserver {
public:
    // A line of the export log.
    virtual void Log(const std::string& line) = 0;
    // The last step: the dialog back to no destination, the focus on Close.
    virtual void Finished() {}
};

// How one export run ended.
struct ExportSummary {
    bool NoContacts = false;   // the query gave no rows
    bool Errors = false;       // some step failed and was logged
    int32_t Count = 0;         // the record counter at the end of the run
    bool Interrupted = false;  // the run was stopped before the last row
};

// The run on `connection`, the one RunAt selects (null when it does not exist,
// or for a RunAt that selects none: the query then fails).
ExportSummary RunExport(const ExportJob& job, db::Connection* connection, ExportObserver& observer);

}  // namespace pelmar
