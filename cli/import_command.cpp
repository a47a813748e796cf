// pelmar import: the import wizard driven from the command line. The host
// initialises a Manager; its window host fills page 1 with the command's
// values (with --format csv it ticks the standard CSV box), presses Next,
// applies the mapping as the mapping dialog's OK would, and presses Finish.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "cli/host.h"
#include "cli/import_formats.h"
#include "cli/import_report.h"
#include "cli/interrupts.h"
#include "cli/phone_options.h"
#include "common/error.h"
#include "common/text.h"
#include "component/manager.h"
#include "component/window_host.h"
#include "core/header_mapping.h"
#include "forms/import_form.h"
#include "forms/import_wizard.h"
#include "forms/mapping_grid.h"
#include "forms/picker_dialog.h"
#include "forms/source_check.h"

namespace pelmar::cli {

namespace {

constexpr const char* kImportDescription =
    "Imports the contacts of SOURCE, a delimited text file, into the address book,\n"
    "as the import wizard would with the same choices. Records a rule rejects are\n"
    "logged; records whose insert failed are also written to SOURCE's .bad file\n"
    "(SOURCE less its last four characters, plus \".bad\").";

constexpr const char* kImportFooter =
    "With --format csv, SOURCE is read as standard CSV: quoted fields may hold the\n"
    "delimiter, doubled quotes and line breaks; records end at LF, CR LF or CR; blank\n"
    "lines are skipped; rows may be shorter or longer than the header. The mapping\n"
    "used is printed on standard error. With --format vcard each card is a record\n"
    "under the 20 field names, keyed by the line of its BEGIN:VCARD, and cards not\n"
    "imported go to SOURCE.rejects.vcf; with --format xlsx each row of the sheet is\n"
    "a record keyed by its row, and a workbook that cannot be read whole is refused.\n"
    "\n"
    "Messages go to standard error; the counts and the paths of the log and of the\n"
    "rejected-records files written to standard output. Progress goes to standard\n"
    "error: a bar on a terminal, else a line at every tenth.\n"
    "SIGINT or SIGTERM ends the run after its current record, with the summary\n"
    "in the log and the counts so far (a second one ends it at once).\n"
    "\n"
    "exit status: 0 the import completed without errors,\n"
    "             1 it completed with errors (see the log, the .bad file and the\n"
    "               rejects file),\n"
    "             130, 143 it was interrupted by SIGINT or SIGTERM,\n"
    "             2 nothing was imported (bad arguments, initialisation failed, user\n"
    "               not found, destination not allowed, file, start row or mapping\n"
    "               refused, no records).";

const HostCommand kImport = {"import",           "import contacts from a delimited text file",
                             kImportDescription, kImportFooter,
                             "SOURCE",           "the delimited text file",
                             "a source file"};

struct MapPair {
    int32_t position;
    std::string field;
};

// The wizard's choices, as the command line gives them.
struct ImportChoices {
    int32_t delimiterOption = DelimiterComma;
    std::string otherDelimiter;
    std::string startRow = "1";
    std::optional<std::string> to;
    std::string prefix;
    bool onlyIfNotPresent = false;
    std::optional<std::string> map;  // as given; read when the command runs
    ImportOptions run;

    bool csv = false;  // --format csv, or a format of another program read beside it
    FileFormat fileFormat = FileFormat::Csv;
    std::string sheet;
    bool noHeader = false;
    std::string rejects;
    bool report = false;
};

// The delimiter option buttons by name. Any other single character is typed
// into the "other" box, as a user would type it (a blank there is refused),
// so the names are not mapped by CLI11: "0" must stay a character.
const Names<int32_t> kDelimiterNames = {
    {"comma", DelimiterComma}, {"tab", DelimiterTab}, {"semicolon", DelimiterSemicolon}, {"space", DelimiterSpace}};

bool ParseDelimiter(const std::string& value, ImportChoices& choices) {
    const auto named = std::find_if(kDelimiterNames.begin(), kDelimiterNames.end(),
                                    [&](const auto& name) { return name.first == value; });
    if (named != kDelimiterNames.end())
        choices.delimiterOption = named->second;
    else if (CharCount(value) == 1) {
        choices.delimiterOption = DelimiterOther;
        choices.otherDelimiter = value;
    } else {
        Complain(kImport, "--delimiter takes comma, tab, semicolon, space or one character, not '" + value + "'");
        return false;
    }
    return true;
}

// "POS=FIELD,POS=FIELD": nothing, after a message, when an item is not one.
std::optional<std::vector<MapPair>> ParseMap(const std::string& value) {
    std::vector<MapPair> pairs;
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t comma = std::min(value.find(',', start), value.size());
        const std::string item = value.substr(start, comma - start);
        const std::size_t equals = item.find('=');
        int32_t position = -1;
        const char* end = item.data() + (equals == std::string::npos ? 0 : equals);
        const auto [ptr, ec] = std::from_chars(item.data(), end, position);
        if (equals == std::string::npos || ec != std::errc() || ptr != end || position < 0) {
            Complain(kImport, "--map takes POS=FIELD pairs with POS a column number from 0, not '" + item + "'");
            return std::nullopt;
        }
        pairs.push_back({position, item.substr(equals + 1)});
        start = comma + 1;
    }
    return pairs;
}

// --map of a CSV source: "auto" (only with a header: the header's mapping
// alone), or COLUMN=FIELD pairs with COLUMN a header name or a number.
bool ParseCsvMap(const std::string& value, bool hasHeader, std::vector<std::pair<std::string, std::string>>& pairs) {
    if (Trim(value) == "auto") {
        if (hasHeader) return true;
        Complain(kImport, "--map auto needs a header");
        return false;
    }
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t comma = std::min(value.find(',', start), value.size());
        const std::string item = value.substr(start, comma - start);
        const std::size_t equals = item.rfind('=');
        if (equals == std::string::npos || Trim(item.substr(0, equals)).empty()) {
            Complain(kImport,
                     "--map takes COLUMN=FIELD pairs with COLUMN a header name or a number, not '" + item + "'");
            return false;
        }
        pairs.emplace_back(Trim(item.substr(0, equals)), Trim(item.substr(equals + 1)));
        start = comma + 1;
    }
    return true;
}

// The window host of the batch import: the user's steps through the wizard,
// with the command's values.
class BatchImportHost : public WindowHost {
public:
    BatchImportHost(std::string source, int32_t user, ImportChoices choices, std::optional<std::vector<MapPair>> map,
                    std::vector<std::pair<std::string, std::string>> csvMap)
            : source_(std::move(source)),
              user_(user),
              args_(std::move(choices)),
              map_(std::move(map)),
              csvMap_(std::move(csvMap)) {}

    void ShowImportWizard(ImportForm& form) override {
        progress_.Attach(form.controls.ProgressBar1);
        ImportWizard wizard(form);
        if (args_.csv) {
            wizard.StandardCsvClick(true);
            form.CsvHasHeader = !args_.noHeader;
            form.RejectsFile = args_.rejects;
            form.StandardFormat = args_.fileFormat;
            form.Sheet = args_.sheet;
        }
        form.RunOptions = args_.run;
        // Closing the wizard closes the connections, however it ends.
        struct Closer {
            ImportWizard& wizard;
            ~Closer() { wizard.Unload(); }
        } closer{wizard};
        wizard.Load();
        if (args_.to && !ChooseDestination(wizard)) return;

        form.controls.txtLocation = source_;
        const SourceCheck check = ValidateFile(form, form.controls.txtLocation);
        if (check.outcome == SourceCheck::Outcome::Unreadable)
            Complain(kImport, "cannot read " + source_ + ": " + check.error.Description);
        if (!check.Loaded()) return;
        if (!args_.csv) WarnOfLineFeeds(form.controls.rtfPreview);
        wizard.DelimiterOptionClick(args_.delimiterOption);
        form.controls.txtOther = args_.otherDelimiter;
        // The boxes hold at most 4 and 7 characters.
        form.controls.txtStartFromRow = Left(args_.startRow, 4);
        form.controls.txtPrefix = Left(args_.prefix, 7);
        if (args_.onlyIfNotPresent) wizard.ChkPresentClick(true);
        progress_.SetPhase("listing");
        if (!wizard.Next().Listed()) return;

        if (args_.csv ? !MapCsv(form) : (map_ && !ApplyMapping(form))) return;
        progress_.SetPhase("importing");
        outcome = wizard.Finish();
    }

    void ShowExportDialog(ExportDialog&) override {
        throw Error(errnum::InvalidProcedureCall, "The export dialog is not available to 'pelmar import'");
    }

    std::optional<FinishResult> outcome;  // once Finish was pressed

private:
    // The wizard's format ends lines at CR or CR LF only: a file with line
    // feeds alone is one long line to it.
    void WarnOfLineFeeds(std::string_view text) const {
        if (text.find('\n') == std::string_view::npos || text.find('\r') != std::string_view::npos) return;
        Complain(kImport, "warning: " + source_ +
                              " ends its lines with line feeds alone, which the wizard's format does not take for "
                              "line ends, so its lines run together; --format csv reads such files");
    }

    // The mapping of a CSV source: by the header, then the pairs given; shown
    // on stderr, then checked and stored as the mapping dialog's OK does.
    // Without a header and without pairs nothing is mapped: the run takes
    // the first eight columns.
    bool MapCsv(const ImportForm& form) {
        if (form.lvwContacts.RowCount() == 0) return true;  // Finish says there is nothing
        if (!form.CsvHasHeader && csvMap_.empty()) {
            Complain(kImport,
                     "mapping: no header and no --map: the first eight columns are "
                     "FirstName,MiddleName,LastName,Email,Address,MobileNumber,Organisation,Sex");
            return true;
        }
        MappingGrid grid(form.session);
        grid.Load(form.lvwContacts);
        if (form.CsvHasHeader) grid.MatchByHeader(form.CsvHeader);
        for (const auto& [column, field] : csvMap_) {
            std::optional<int32_t> position = FindHeaderColumn(form.CsvHeader, column);
            int32_t number = -1;
            const auto [end, ec] = std::from_chars(column.data(), column.data() + column.size(), number);
            if (!position && ec == std::errc() && end == column.data() + column.size() && number >= 0)
                position = number;
            if (!position || *position >= grid.Rows()) {
                Complain(kImport, "--map: the source has no column '" + column + "'");
                return false;
            }
            // The field leaves the column the header gave it.
            for (int32_t r = 1; r <= grid.Rows(); ++r)
                if (field != "<ignore>" && Trim(grid.Cell(r, 2)) == field) grid.SetDestination(r, "<ignore>");
            grid.SetDestination(*position + 1, field);
        }
        ShowMapping(grid, form.CsvHeader);
        return grid.Finish();
    }

    static void ShowMapping(const MappingGrid& grid, const std::vector<std::string>& header) {
        const auto name = [&](int32_t column) {
            const auto at = static_cast<std::size_t>(column);
            return (at < header.size() ? "\"" + header[at] + "\" " : std::string()) + "(column " +
                   std::to_string(column) + ")";
        };
        std::string unmapped;
        for (int32_t r = 1; r <= grid.Rows(); ++r) {
            const std::string field = Trim(grid.Cell(r, 2));
            if (!field.empty() && field != "<ignore>")
                Complain(kImport, "mapping: " + name(r - 1) + " -> " + field);
            else
                unmapped += (unmapped.empty() ? "" : ", ") + name(r - 1);
        }
        if (!unmapped.empty()) Complain(kImport, "mapping: not mapped: " + unmapped);
    }

    // The picker as this user would see it; the key must be one of its nodes.
    bool ChooseDestination(ImportWizard& wizard) {
        SelectFolderDialog picker(wizard.Form().session);
        picker.Load();
        const FolderNode* node = picker.tvwFolders.Find(*args_.to);
        if (!node) {
            Complain(kImport, "'" + *args_.to + "' is not a folder or group that user " + std::to_string(user_) +
                                  " may import into");
            return false;
        }
        picker.NodeClick(*node);
        picker.OK();
        wizard.ApplyPickerResult(picker);
        return true;
    }

    bool ApplyMapping(const ImportForm& form) {
        MappingGrid grid(form.session);
        grid.Load(form.lvwContacts);
        for (const MapPair& pair : *map_) {
            if (pair.position >= grid.Rows()) {
                Complain(kImport, "--map: the listed records have no column " + std::to_string(pair.position) +
                                      " (columns 0 to " + std::to_string(grid.Rows() - 1) + ")");
                return false;
            }
            grid.SetDestination(pair.position + 1, pair.field);
        }
        return grid.Finish();
    }

    std::string source_;
    int32_t user_;
    ImportChoices args_;
    std::optional<std::vector<MapPair>> map_;
    std::vector<std::pair<std::string, std::string>> csvMap_;
    ProgressDisplay progress_{kImport};
};

// The counts on standard output; what went wrong beyond the records on
// standard error. The status: interrupted, completed with errors, or clean.
int Report(const FinishResult& finish, const ImportChoices& choices, const std::string& source,
           const Interrupts& interrupts) {
    const ImportResult& result = finish.run;
    const ImportRunCounts& counts = result.Counts;
    const bool badWritten = finish.badLines > 0;
    const std::optional<std::string> rejectsFile =
        finish.rejectsWritten > 0 ? std::optional(finish.rejectsFile) : std::nullopt;
    if (choices.report) {
        const ImportReport report{.source = source,
                                  .format = choices.csv ? std::string(FormatName(choices.fileFormat)) : "wizard",
                                  .dryRun = choices.run.dryRun,
                                  .log = finish.logFile,
                                  .badFile = badWritten ? std::optional(finish.badFile) : std::nullopt,
                                  .rejectsFile = rejectsFile};
        std::fputs(ImportReportJson(report, result).c_str(), stdout);
    } else {
        std::printf("Total: %d\nImported: %d\nFailed: %d\nSkipped: %d\nLog: %s\n", counts.TotalRecords,
                    counts.ImportedCount, counts.FailedCount, counts.SkippedCount, finish.logFile.c_str());
        if (result.UpdatedCount > 0) std::printf("Updated: %d\n", result.UpdatedCount);
        if (badWritten) std::printf("Bad file: %s\n", finish.badFile.c_str());
        if (rejectsFile) std::printf("Rejects: %s\n", rejectsFile->c_str());
        if (choices.run.dryRun)
            std::printf("Dry run: nothing was written\n");
        else if (result.CommittedCount != counts.ImportedCount)
            std::printf("Committed: %d\n", result.CommittedCount);
    }
    if (result.StoppedBefore > 0) {
        Complain(kImport, "interrupted before record " + std::to_string(result.StoppedBefore) + " of " +
                              std::to_string(counts.TotalRecords) + "; the records before it are as the log says");
    }
    const auto tell = [](const WriteFailures& failures, const std::string& file) {
        if (failures.Lines > 0)
            Complain(kImport, std::to_string(failures.Lines) + " line(s) could not be written to " + file + ": " +
                                  failures.FirstDescription);
    };
    tell(result.LogFailures, "the log " + finish.logFile);
    tell(result.RejectFailures, "the rejected-records file " + finish.badFile);
    tell(result.RejectsFailures, "the rejects file");
    if (const auto numbers = NumbersLine(result, choices.run)) Complain(kImport, *numbers);
    if (interrupts.ExitStatus()) return interrupts.ExitStatus();
    return counts.HadErrors ? 1 : 0;
}

// The options read before they go into ImportChoices.
struct ImportArguments {
    std::string delimiter;
    FormatChoice format;
    bool noNormalise = false;
    std::vector<CLI::Option*> csvOnly;  // options that mean something for --format csv only
};

// Reads `args` into `choices`; false, having said why, when they do not fit
// together.
bool ReadArguments(const ImportArguments& args, ImportChoices& choices) {
    if (!args.delimiter.empty() && !ParseDelimiter(args.delimiter, choices)) return false;
    choices.csv = args.format.format != SourceFormat::Wizard;
    choices.fileFormat = FileFormatOf(args.format.format);
    choices.sheet = args.format.sheet;
    for (const CLI::Option* option : args.csvOnly) {
        if (!choices.csv && option->count() > 0) {
            Complain(kImport, option->get_name() + " needs --format csv");
            return false;
        }
    }
    if (choices.csv &&
        (choices.otherDelimiter == "\"" || choices.otherDelimiter == "\r" || choices.otherDelimiter == "\n")) {
        Complain(kImport, "--format csv cannot take a quote or a line break for its delimiter");
        return false;
    }
    choices.run.normalise = choices.csv && !args.noNormalise;
    choices.run.report = choices.report;
    if (const auto problem = ImportPhoneProblem(choices.run)) {
        Complain(kImport, *problem);
        return false;
    }
    return true;
}

// --map, read as the chosen format reads it: by position for the wizard's
// format, by header name (or position) for CSV.
struct MapArguments {
    std::optional<std::vector<MapPair>> byPosition;
    std::vector<std::pair<std::string, std::string>> byHeader;
};

bool ReadMap(const ImportChoices& choices, MapArguments& map) {
    if (!choices.map) return true;
    if (choices.csv) return ParseCsvMap(*choices.map, !choices.noHeader, map.byHeader);
    return (map.byPosition = ParseMap(*choices.map)).has_value();
}

int ImportFile(const HostOptions& options, ImportChoices& choices, MapArguments map) {
    const Interrupts interrupts;
    choices.run.stop = interrupts.Flag();
    auto host = std::make_shared<BatchImportHost>(options.operand, options.user, choices, std::move(map.byPosition),
                                                  std::move(map.byHeader));
    Manager manager;
    if (!StartHost(kImport, options, host, manager)) return 2;
    int32_t user = options.user;
    const bool shown = manager.ImportContacts(user) != 0;
    if (!host->outcome || !host->outcome->Started()) {
        if (!shown) Complain(kImport, "nothing was imported; see the log " + manager.LogFile());
        return interrupts.ExitStatus() ? interrupts.ExitStatus() : 2;
    }
    return Report(*host->outcome, choices, options.operand, interrupts);
}

}  // namespace

Run AddImportCommand(CLI::App& pelmar) {
    auto options = std::make_shared<HostOptions>();
    auto choices = std::make_shared<ImportChoices>();
    auto args = std::make_shared<ImportArguments>();
    CLI::App& app =
        AddHostCommand(pelmar, kImport, *options, "client or server (default: client with --local, else server)");
    AddFormatOptions(app, args->format);
    app.add_option("--delimiter", args->delimiter, "comma (default), tab, semicolon, space, or any single character")
        ->option_text("D");
    app.add_option("--start-row", choices->startRow,
                   "first line to import, counting from 1 (default 1), read as\n"
                   "the wizard's start-row box reads it (at most 4 characters);\n"
                   "with --format csv, records starting before line N of the file\n"
                   "are skipped (the header is still the first line)")
        ->option_text("TEXT");
    app.add_option("--to", choices->to,
                   "destination, a key of the picker's tree: LFLD0 \"Local\n"
                   "Contacts\", SFLD0 \"Shared Contacts\", LFLDn/SFLDn a local or\n"
                   "shared folder, LCGRn/SHGRn a local or shared group; it must\n"
                   "be a node the picker shows this user (default: the top of\n"
                   "the local book at a client, of the shared book at the server)")
        ->option_text("KEY");
    app.add_option("--prefix", choices->prefix,
                   "prefix for mobile numbers (at most 7 characters; a prefix\n"
                   "whose value is 0 is never added)")
        ->option_text("TEXT");
    app.add_flag("--only-if-not-present", choices->onlyIfNotPresent,
                 "add the prefix only to numbers that do not begin with it");
    app.add_option("--map", choices->map,
                   "the column mapping: source column POS (0 for the first)\n"
                   "goes to contact field FIELD (FirstName, MiddleName, LastName,\n"
                   "Email, Address, MobileNumber, Organisation, Sex, CountryCode,\n"
                   "Age, City, State, Country, Zip, HomePhone, OfficePhone, Fax,\n"
                   "Birthday, Anniversary, Hobby); FirstName and MobileNumber are\n"
                   "required. Without --map the first eight columns are\n"
                   "FirstName,MiddleName,LastName,Email,Address,MobileNumber,\n"
                   "Organisation,Sex. With --format csv: auto (the default with a\n"
                   "header) maps columns by their header names, case, blanks and\n"
                   "punctuation ignored, with the usual names of address books and\n"
                   "mail clients; COL=FIELD,... names COL by header or number from 0,\n"
                   "applied over the header's mapping (FIELD <ignore> unmaps)")
        ->option_text("POS=FIELD,...");
    app.add_option("--commit-every", choices->run.commitEvery,
                   "N records a transaction instead of one each (a record that\n"
                   "fails still fails alone); an interrupted run loses at most\n"
                   "its open batch")
        ->check(CLI::PositiveNumber)
        ->option_text("N");
    AddNamedOption(
        app, "--duplicates", choices->run.duplicates,
        {{"insert", DuplicatePolicy::Insert}, {"skip", DuplicatePolicy::Skip}, {"update", DuplicatePolicy::Update}},
        "insert (default): every record is inserted; skip: a record\n"
        "whose mobile number the destination folder or group has\n"
        "already is skipped (counted as skipped); update: it updates\n"
        "that contact's mapped fields instead");
    AddImportPhoneOptions(app, choices->run);
    app.add_flag("--dry-run", choices->run.dryRun, "everything but the writes: no row is inserted or updated");
    AddNamedOption(app, "--report", choices->report, {{"json", true}},
                   "the counts and every record not imported (line, field,\n"
                   "value, reason) as one JSON document on standard output");
    const std::string csvOnly = "With --format csv, vcard, xlsx or auto";
    args->csvOnly = {
        app.add_flag("--no-header", choices->noHeader, "the first line is a record, not a header")->group(csvOnly),
        app.add_flag("--no-normalise", args->noNormalise,
                     "keep the wizard's reading of the values; by default text is\n"
                     "trimmed and kept as typed, phone numbers lose blanks, - . /\n"
                     "and parentheses, gender words become M or F, dates become\n"
                     "yyyy-mm-dd (--mm-dd without a year), the first of several\n"
                     "e-mail addresses is kept, and a value too long for its\n"
                     "column is rejected")
            ->group(csvOnly),
        AddNamedOption(
            app, "--date-order", choices->run.dateOrder,
            {{"dmy", DateOrder::DayMonthYear}, {"mdy", DateOrder::MonthDayYear}, {"ymd", DateOrder::YearMonthDay}},
            "dmy (default), mdy or ymd: how 01/02/1990 is read")
            ->group(csvOnly),
        app.add_option("--rejects", choices->rejects,
                       "every record not imported, as the source had it, with its\n"
                       "line and the reason (default: SOURCE with .rejects.csv;\n"
                       ".rejects.vcf for cards)")
            ->option_text("PATH")
            ->group(csvOnly),
    };

    return [options, choices, args, &app] {
        MapArguments map;
        if (!CheckHostOptions(kImport, *options) || !SettleFormat(kImport, app, options->operand, args->format) ||
            !ReadArguments(*args, *choices) || !ReadMap(*choices, map))
            return 2;
        return ImportFile(*options, *choices, std::move(map));
    };
}

}  // namespace pelmar::cli
