#pragma once
// The formats `pelmar export` writes: the dialog's, and files for other
// programs (standard CSV, vCard, xlsx).
#include <CLI/CLI.hpp>

#include "cli/host.h"
#include "core/export_run.h"

namespace pelmar::cli {

struct ExportFormatChoice {
    ExportFormat format = ExportFormat::Quoted8;  // vcard is Vcard4 until --vcard-version says otherwise
    ExportFormat vcardVersion = ExportFormat::Vcard4;
};

// Adds --format and --vcard-version.
void AddExportFormatOptions(CLI::App& app, ExportFormatChoice& choice);

// The format to write; nothing, having said why, for options that do not
// fit together.
std::optional<ExportFormat> SettleExportFormat(const HostCommand& command, const CLI::App& app,
                                               const ExportFormatChoice& choice);

}  // namespace pelmar::cli
