#pragma once
// The phone number options of `pelmar import` and `pelmar export`.
#include <optional>
#include <string>

#include <CLI/CLI.hpp>

#include "core/export_run.h"
#include "core/import_run.h"

namespace pelmar::cli {

// --phone-region CC|none and --mobile-only, into the run's options.
void AddImportPhoneOptions(CLI::App& app, ImportOptions& run);

// Why the import's phone options do not fit together, if they do not.
std::optional<std::string> ImportPhoneProblem(const ImportOptions& run);

// --phone-format and --phone-region of the CSV export.
void AddExportPhoneOptions(CLI::App& app, ExportNumbers& numbers);

// Why the export's phone options do not fit together, if they do not.
std::optional<std::string> ExportPhoneProblem(const ExportNumbers& numbers, bool csv);

// The closing line of an import that parsed numbers, for standard error.
std::optional<std::string> NumbersLine(const ImportResult& result, const ImportOptions& run);

}  // namespace pelmar::cli
