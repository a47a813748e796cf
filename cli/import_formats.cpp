#include "cli/import_formats.h"

#include "cli/commands.h"
#include "common/text.h"

namespace pelmar::cli {

void AddFormatOptions(CLI::App& app, FormatChoice& choice) {
    AddNamedOption(app, "--format", choice.format,
                   {{"wizard", SourceFormat::Wizard},
                    {"csv", SourceFormat::Csv},
                    {"vcard", SourceFormat::Vcard},
                    {"xlsx", SourceFormat::Xlsx},
                    {"auto", SourceFormat::Auto}},
                   "wizard (default): the wizard's reading, lines end at CR or\n"
                   "CR LF; csv: standard CSV, for files from other programs;\n"
                   "vcard: vCard 2.1, 3.0 or 4.0 cards (.vcf), a record each;\n"
                   "xlsx: a workbook's sheet, its first row the header; auto:\n"
                   "vcard, xlsx or csv by what the file holds");
    app.add_option("--sheet", choice.sheet, "with --format xlsx: the sheet to read (default: the first)")
        ->option_text("NAME");
}

FileFormat FileFormatOf(SourceFormat format) {
    switch (format) {
        case SourceFormat::Vcard: return FileFormat::Vcard;
        case SourceFormat::Xlsx: return FileFormat::Xlsx;
        default: return FileFormat::Csv;
    }
}

bool SettleFormat(const HostCommand& command, const CLI::App& app, const std::string& source, FormatChoice& choice) {
    if (choice.format == SourceFormat::Auto) {
        const FileFormat found = DetectFileFormat(Trim(source));
        choice.format = found == FileFormat::Vcard  ? SourceFormat::Vcard
                        : found == FileFormat::Xlsx ? SourceFormat::Xlsx
                                                    : SourceFormat::Csv;
        Complain(command, "reading " + source + " as " + std::string(FormatName(found)));
    }
    // What each option means nothing to.
    struct Misfit {
        const char* option;
        SourceFormat format;
    };
    static constexpr Misfit kMisfits[] = {
        {"--delimiter", SourceFormat::Vcard}, {"--delimiter", SourceFormat::Xlsx}, {"--no-header", SourceFormat::Vcard},
        {"--start-row", SourceFormat::Vcard}, {"--map", SourceFormat::Vcard},
    };
    for (const Misfit& misfit : kMisfits) {
        if (choice.format == misfit.format && app.count(misfit.option) > 0) {
            Complain(command, std::string(misfit.option) + " does not apply to --format " +
                                  std::string(FormatName(FileFormatOf(misfit.format))));
            return false;
        }
    }
    if (choice.format != SourceFormat::Xlsx && app.count("--sheet") > 0) {
        Complain(command, "--sheet needs --format xlsx");
        return false;
    }
    return true;
}

}  // namespace pelmar::cli
