#pragma once
// `pelmar import --report json`: the run's counts and every record it did
// not import, as one JSON document.
#include <optional>
#include <string>

#include "core/import_run.h"

namespace pelmar::cli {

struct ImportReport {
    std::string source;
    std::string format;  // "wizard", "csv"
    bool dryRun = false;
    std::string log;
    std::optional<std::string> badFile;      // when the run wrote to it
    std::optional<std::string> rejectsFile;  // when the run wrote to it
};

// {"source":..., "format":..., "dryRun":..., "counts":{"total","imported",
// "failed","skipped","updated","committed"}, "log":..., "badFile":...,
// "rejectsFile":..., "problems":[{"record","line","kind","field","value",
// "reason"}, ...]}; files not written are null, and a problem's kind is
// "rejected" (by a rule) or "failed" (a step that failed, the .bad file's).
std::string ImportReportJson(const ImportReport& report, const ImportResult& result);

}  // namespace pelmar::cli
