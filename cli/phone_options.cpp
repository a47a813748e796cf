#include "cli/phone_options.h"

#include "cli/commands.h"
#include "core/phone_region.h"

namespace pelmar::cli {
namespace {

// A two-letter region with a numbering plan, upper-cased in place.
std::string CheckRegion(std::string& input) {
    const RegionLookup region = ResolveRegion(input);
    if (input.size() != 2 || !region) return input + " is not a two-letter region with a numbering plan";
    input = region.region;
    return {};
}

}  // namespace

void AddImportPhoneOptions(CLI::App& app, ImportOptions& run) {
    const auto region = [&run](std::string& input) {
        run.parsePhones = true;
        if (input == "none") {
            input.clear();
            return std::string();
        }
        return CheckRegion(input);
    };
    app.add_option("--phone-region", run.phoneRegion,
                   "check mobile numbers against the numbering plan of region\n"
                   "CC (ISO 3166, two letters, any case) and store them as\n"
                   "+919820012345 (E.164); a record whose number is not valid\n"
                   "is rejected, home, office and fax numbers are rewritten\n"
                   "where valid. A mapped CountryCode (a region, a calling code\n"
                   "or an English country name) decides its record's region;\n"
                   "none: only records with one are checked. The prefix rule is\n"
                   "skipped for checked numbers: the region does its job.\n"
                   "--duplicates compares numbers in E.164")
        ->option_text("CC|none")
        ->transform(CLI::Validator(region, ""));
    app.add_flag("--mobile-only", run.mobileOnly,
                 "with --phone-region: reject a record whose mobile number is\n"
                 "of another type (fixed line, toll free, ...); numbers the\n"
                 "plan cannot tell from a mobile (US, Canada) are taken");
}

std::optional<std::string> ImportPhoneProblem(const ImportOptions& run) {
    if (run.mobileOnly && !run.parsePhones) return "--mobile-only needs --phone-region";
    return std::nullopt;
}

void AddExportPhoneOptions(CLI::App& app, ExportNumbers& numbers) {
    const std::string group = "With --format csv";
    AddNamedOption(app, "--phone-format", numbers.format,
                   {{"e164", PhoneFormat::E164},
                    {"international", PhoneFormat::International},
                    {"national", PhoneFormat::National}},
                   "the four phone numbers as +919820012345, +91 98200 12345 or\n"
                   "098200 12345 (numbers of another region: international),\n"
                   "where they are valid numbers; others as stored (default:\n"
                   "all as stored)")
        ->group(group);
    app.add_option("--phone-region", numbers.region,
                   "the region numbers without a + belong to (two letters);\n"
                   "national needs it")
        ->option_text("CC")
        ->transform(CLI::Validator(CheckRegion, ""))
        ->group(group);
}

std::optional<std::string> ExportPhoneProblem(const ExportNumbers& numbers, bool csv) {
    if ((numbers.format || !numbers.region.empty()) && !csv)
        return "--phone-format and --phone-region need --format csv";
    if (!numbers.region.empty() && !numbers.format) return "--phone-region needs --phone-format";
    if (numbers.format == PhoneFormat::National && numbers.region.empty())
        return "--phone-format national needs --phone-region";
    return std::nullopt;
}

std::optional<std::string> NumbersLine(const ImportResult& result, const ImportOptions& run) {
    if (!result.Numbers) return std::nullopt;
    return PhoneCountsLine(*result.Numbers, run.mobileOnly);
}

}  // namespace pelmar::cli
