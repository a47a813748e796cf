#include "cli/export_formats.h"

#include "cli/commands.h"

namespace pelmar::cli {

void AddExportFormatOptions(CLI::App& app, ExportFormatChoice& choice) {
    AddNamedOption(app, "--format", choice.format,
                   {{"dialog", ExportFormat::Quoted8},
                    {"csv", ExportFormat::Csv},
                    {"vcard", ExportFormat::Vcard4},
                    {"xlsx", ExportFormat::Xlsx}},
                   "dialog (default): eight fields (first, middle and last name,\n"
                   "e-mail, address, mobile number, organisation, sex), each in\n"
                   "quotes unless empty, no header; csv: a header of the 20 field\n"
                   "names and all 20 fields, quoted where CSV needs it (quotes\n"
                   "doubled), UTF-8, CR LF, which 'pelmar import --format csv'\n"
                   "reads back field for field; vcard: a card per contact (UTF-8,\n"
                   "CR LF, folded lines); xlsx: one sheet, a bold header row of the\n"
                   "20 field names and every value as text; both read back by\n"
                   "'pelmar import --format vcard|xlsx'");
    AddNamedOption(app, "--vcard-version", choice.vcardVersion,
                   {{"4.0", ExportFormat::Vcard4}, {"3.0", ExportFormat::Vcard3}},
                   "with --format vcard: 4.0 (default) or 3.0, for older address\n"
                   "books (X-GENDER and X-ANNIVERSARY for the sex and the\n"
                   "anniversary)");
}

std::optional<ExportFormat> SettleExportFormat(const HostCommand& command, const CLI::App& app,
                                               const ExportFormatChoice& choice) {
    if (choice.format != ExportFormat::Vcard4) {
        if (app.count("--vcard-version") == 0) return choice.format;
        Complain(command, "--vcard-version needs --format vcard");
        return std::nullopt;
    }
    return choice.vcardVersion;
}

}  // namespace pelmar::cli
