// pelmar import: the import wizard driven from the command line. The host
// initialises a Manager; its window host fills page 1 with the command's
// values, presses Next, applies the mapping as the mapping dialog's OK would,
// and presses Finish.
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
#include "cli/interrupts.h"
#include "common/error.h"
#include "common/text.h"
#include "component/manager.h"
#include "component/window_host.h"
#include "forms/import_form.h"
#include "forms/import_wizard.h"
#include "forms/mapping_grid.h"
#include "forms/picker_dialog.h"
#include "forms/source_check.h"

namespace pelmar::cli {

namespace {

constexpr const char* kImportUsage =
    "usage: pelmar import SOURCE --remote CS [--local CS] [--run-at client|server] --user ID\n"
    "              [--delimiter comma|tab|semicolon|space|CHAR] [--start-row TEXT]\n"
    "              [--to KEY] [--prefix TEXT] [--only-if-not-present]\n"
    "              [--map POS=FIELD[,POS=FIELD...]] [--log PATH]\n"
    "\n"
    "Imports the contacts of SOURCE, a delimited text file, into the address book,\n"
    "as the import wizard would with the same choices. Records a rule rejects are\n"
    "logged; records whose insert failed are also written to SOURCE's .bad file\n"
    "(SOURCE less its last four characters, plus \".bad\").\n"
    "\n"
    "  SOURCE              the delimited text file\n"
    "  --remote CS         connection string of the remote (server) database\n"
    "  --local CS          connection string of the local (client) database\n"
    "  --run-at WHERE      client or server (default: client with --local, else server)\n"
    "  --user ID           SMS_USERS.ID of the acting user\n"
    "  --delimiter D       comma (default), tab, semicolon, space, or any single character\n"
    "  --start-row TEXT    first line to import, counting from 1 (default 1), read as\n"
    "                      the wizard's start-row box reads it (at most 4 characters)\n"
    "  --to KEY            destination, a key of the picker's tree: LFLD0 \"Local\n"
    "                      Contacts\", SFLD0 \"Shared Contacts\", LFLDn/SFLDn a local or\n"
    "                      shared folder, LCGRn/SHGRn a local or shared group; it must\n"
    "                      be a node the picker shows this user (default: the top of\n"
    "                      the local book at a client, of the shared book at the server)\n"
    "  --prefix TEXT       prefix for mobile numbers (at most 7 characters; a prefix\n"
    "                      whose value is 0 is never added)\n"
    "  --only-if-not-present  add the prefix only to numbers that do not begin with it\n"
    "  --map POS=FIELD,... the column mapping: source column POS (0 for the first)\n"
    "                      goes to contact field FIELD (FirstName, MiddleName, LastName,\n"
    "                      Email, Address, MobileNumber, Organisation, Sex, CountryCode,\n"
    "                      Age, City, State, Country, Zip, HomePhone, OfficePhone, Fax,\n"
    "                      Birthday, Anniversary, Hobby); FirstName and MobileNumber are\n"
    "                      required. Without --map the first eight columns are\n"
    "                      FirstName,MiddleName,LastName,Email,Address,MobileNumber,\n"
    "                      Organisation,Sex\n"
    "  --log PATH          the log file (default: ImportExport.log beside the program)\n"
    "  --commit-every N    N records a transaction instead of one each (a record that\n"
    "                      fails still fails alone); an interrupted run loses at most\n"
    "                      its open batch\n"
    "\n"
    "Messages go to standard error; the counts and the log's path to standard\n"
    "output. A progress bar is drawn on standard error when it is a terminal.\n"
    "SIGINT or SIGTERM ends the run after its current record, with the summary\n"
    "in the log and the counts so far (a second one ends it at once).\n"
    "\n"
    "exit status: 0 the import completed without errors,\n"
    "             1 it completed with errors (see the log and the .bad file),\n"
    "             130, 143 it was interrupted by SIGINT or SIGTERM,\n"
    "             2 nothing was imported (bad arguments, initialisation failed, user\n"
    "               not found, destination not allowed, file, start row or mapping\n"
    "               refused, no records).\n";

const HostCommand kImport = {"import", kImportUsage, "SOURCE", "a source file"};

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
};

bool ParseDelimiter(const std::string& value, ImportChoices& choices) {
    if (value == "comma")
        choices.delimiterOption = DelimiterComma;
    else if (value == "tab")
        choices.delimiterOption = DelimiterTab;
    else if (value == "semicolon")
        choices.delimiterOption = DelimiterSemicolon;
    else if (value == "space")
        choices.delimiterOption = DelimiterSpace;
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

// The window host of the batch import: the user's steps through the wizard,
// with the command's values.
class BatchImportHost : public WindowHost {
public:
    BatchImportHost(std::string source, int32_t user, ImportChoices choices, std::optional<std::vector<MapPair>> map)
            : source_(std::move(source)), user_(user), args_(std::move(choices)), map_(std::move(map)) {}

    void ShowImportWizard(ImportForm& form) override {
        DrawOnTerminal(form.controls.ProgressBar1);
        form.RunOptions = args_.run;
        ImportWizard wizard(form);
        // Closing the wizard closes the connections, however it ends.
        struct Closer {
            ImportWizard& wizard;
            ~Closer() { wizard.Unload(); }
        } closer{wizard};
        wizard.Load();
        if (args_.to && !ChooseDestination(wizard)) return;

        form.controls.txtLocation = source_;
        if (!ValidateFile(form, form.controls.txtLocation)) return;
        wizard.DelimiterOptionClick(args_.delimiterOption);
        form.controls.txtOther = args_.otherDelimiter;
        // The boxes hold at most 4 and 7 characters.
        form.controls.txtStartFromRow = Left(args_.startRow, 4);
        form.controls.txtPrefix = Left(args_.prefix, 7);
        if (args_.onlyIfNotPresent) wizard.ChkPresentClick(true);
        if (!wizard.Next()) return;

        if (map_ && !ApplyMapping(form)) return;
        wizard.Finish();
        outcome = form.LastRun;
        logFile = form.vars.ImportLogFile;
        badFile = form.vars.BadFile;
    }

    void ShowExportDialog(ExportDialog&) override {
        throw Error(errnum::InvalidProcedureCall, "The export dialog is not available to 'pelmar import'");
    }

    std::optional<ImportResult> outcome;
    std::string logFile;
    std::string badFile;

private:
    // The picker as this user would see it; the key must be one of its nodes.
    bool ChooseDestination(ImportWizard& wizard) {
        SelectFolderDialog picker;
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
        MappingGrid grid;
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
};

// The counts on standard output; what went wrong beyond the records on
// standard error. The status: interrupted, completed with errors, or clean.
int Report(const BatchImportHost& host, const Interrupts& interrupts) {
    const ImportResult& result = *host.outcome;
    const ImportRunCounts& counts = result.Counts;
    std::printf("Total: %d\nImported: %d\nFailed: %d\nSkipped: %d\nLog: %s\n", counts.TotalRecords,
                counts.ImportedCount, counts.FailedCount, counts.SkippedCount, host.logFile.c_str());
    if (result.CommittedCount != counts.ImportedCount) std::printf("Committed: %d\n", result.CommittedCount);
    if (result.StoppedBefore > 0) {
        Complain(kImport, "interrupted before record " + std::to_string(result.StoppedBefore) + " of " +
                              std::to_string(counts.TotalRecords) + "; the records before it are as the log says");
    }
    const auto tell = [](const WriteFailures& failures, const std::string& file) {
        if (failures.Lines > 0)
            Complain(kImport, std::to_string(failures.Lines) + " line(s) could not be written to " + file + ": " +
                                  failures.FirstDescription);
    };
    tell(result.LogFailures, "the log " + host.logFile);
    tell(result.RejectFailures, "the rejected-records file " + host.badFile);
    if (interrupts.ExitStatus()) return interrupts.ExitStatus();
    return counts.HadErrors ? 1 : 0;
}

}  // namespace

Run AddImportCommand(CLI::App& pelmar) {
    auto options = std::make_shared<HostOptions>();
    auto choices = std::make_shared<ImportChoices>();
    auto delimiter = std::make_shared<std::string>();
    CLI::App& app = AddHostCommand(pelmar, kImport, *options);
    app.add_option("--delimiter", *delimiter);
    app.add_option("--start-row", choices->startRow);
    app.add_option("--to", choices->to);
    app.add_option("--prefix", choices->prefix);
    app.add_flag("--only-if-not-present", choices->onlyIfNotPresent);
    app.add_option("--map", choices->map);

    app.add_option("--commit-every", choices->run.commitEvery)->check(CLI::PositiveNumber);

    return [options, choices, delimiter] {
        if (!CheckHostOptions(kImport, *options)) return 2;
        if (!delimiter->empty() && !ParseDelimiter(*delimiter, *choices)) return 2;
        std::optional<std::vector<MapPair>> map;
        if (choices->map && !(map = ParseMap(*choices->map))) return 2;

        const Interrupts interrupts;
        choices->run.stop = interrupts.Flag();
        auto host = std::make_shared<BatchImportHost>(options->operand, options->user, *choices, std::move(map));
        Manager manager;
        if (!StartHost(kImport, *options, host, manager)) return 2;
        int32_t user = options->user;
        const bool shown = manager.ImportContacts(user) != 0;
        if (!host->outcome || !host->outcome->Started) {
            if (!shown) Complain(kImport, "nothing was imported; see the log " + manager.LogFile());
            return interrupts.ExitStatus() ? interrupts.ExitStatus() : 2;
        }
        return Report(*host, interrupts);
    };
}

}  // namespace pelmar::cli
