#pragma once
// The formats `pelmar import` reads: the wizard's, and the files of other
// programs (standard CSV, vCard, xlsx), chosen by name or told by what the
// file holds.
#include <string>

#include <CLI/CLI.hpp>

#include "cli/host.h"
#include "core/source_format.h"

namespace pelmar::cli {

enum class SourceFormat { Wizard, Csv, Vcard, Xlsx, Auto };

struct FormatChoice {
    SourceFormat format = SourceFormat::Wizard;
    std::string sheet;  // --sheet: "" for the workbook's first
};

// Adds --format and --sheet.
void AddFormatOptions(CLI::App& app, FormatChoice& choice);

// Settles auto by what `source` holds (saying which on standard error), and
// refuses, having said why, the options the format settled on does not take.
bool SettleFormat(const HostCommand& command, const CLI::App& app, const std::string& source, FormatChoice& choice);

// The reader of a format other than the wizard's.
FileFormat FileFormatOf(SourceFormat format);

}  // namespace pelmar::cli
