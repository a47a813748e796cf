// pelmar import: the import wizard driven from the command line. The host
// initialises a Manager; its window host fills page 1 with the command's
// values, presses Next, applies the mapping as the mapping dialog's OK would,
// and presses Finish.
#include <charconv>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "common/error.h"
#include "common/progress.h"
#include "common/text.h"
#include "common/ui.h"
#include "component/manager.h"
#include "component/session_state.h"
#include "component/window_host.h"
#include "import/import_form.h"
#include "import/import_wizard.h"
#include "import/source_check.h"
#include "mapping/mapping_grid.h"
#include "picker/picker_dialog.h"

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
    "\n"
    "Messages go to standard error; the counts and the log's path to standard\n"
    "output. A progress bar is drawn on standard error when it is a terminal.\n"
    "\n"
    "exit status: 0 the import completed without errors,\n"
    "             1 it completed with errors (see the log and the .bad file),\n"
    "             2 nothing was imported (bad arguments, initialisation failed, user\n"
    "               not found, destination not allowed, file, start row or mapping\n"
    "               refused, no records).\n";

struct MapPair {
    int32_t position;
    std::string field;
};

struct ImportArgs {
    std::string source;
    std::string remote;
    std::optional<std::string> local;
    std::optional<RunApplicationAt> runAt;
    std::optional<int32_t> user;
    int32_t delimiterOption = DelimiterComma;
    std::string otherDelimiter;
    std::string startRow = "1";
    std::optional<std::string> to;
    std::string prefix;
    bool onlyIfNotPresent = false;
    std::optional<std::vector<MapPair>> map;
    std::string log;
};

template <typename... Values>
void Complain(const char* format, Values... values) {
    std::fputs("pelmar import: ", stderr);
    std::fprintf(stderr, format, values...);
    std::fputc('\n', stderr);
}

std::optional<int32_t> ParseInt32(const std::string& text) {
    int32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end) return std::nullopt;
    return value;
}

bool ParseDelimiter(const std::string& value, ImportArgs& parsed) {
    if (value == "comma") parsed.delimiterOption = DelimiterComma;
    else if (value == "tab") parsed.delimiterOption = DelimiterTab;
    else if (value == "semicolon") parsed.delimiterOption = DelimiterSemicolon;
    else if (value == "space") parsed.delimiterOption = DelimiterSpace;
    else if (CharCount(value) == 1) {
        parsed.delimiterOption = DelimiterOther;
        parsed.otherDelimiter = value;
    } else {
        Complain("--delimiter takes comma, tab, semicolon, space or one character, not '%s'", value.c_str());
        return false;
    }
    return true;
}

std::optional<std::vector<MapPair>> ParseMap(const std::string& value) {
    std::vector<MapPair> pairs;
    std::size_t start = 0;
    while (start <= value.size()) {
        const std::size_t comma = std::min(value.find(',', start), value.size());
        const std::string item = value.substr(start, comma - start);
        const std::size_t equals = item.find('=');
        const std::optional<int32_t> position =
            equals == std::string::npos ? std::nullopt : ParseInt32(item.substr(0, equals));
        if (!position || *position < 0) {
            Complain("--map takes POS=FIELD pairs with POS a column number from 0, not '%s'", item.c_str());
            return std::nullopt;
        }
        pairs.push_back({*position, item.substr(equals + 1)});
        start = comma + 1;
    }
    return pairs;
}

// Reads the arguments; a message on stderr and nothing when they are wrong.
std::optional<ImportArgs> ParseArgs(const Args& args) {
    ImportArgs parsed;
    bool haveSource = false;
    bool haveRemote = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--only-if-not-present") {
            parsed.onlyIfNotPresent = true;
            continue;
        }
        const bool takesValue = arg == "--remote" || arg == "--local" || arg == "--run-at" || arg == "--user" ||
                                arg == "--delimiter" || arg == "--start-row" || arg == "--to" ||
                                arg == "--prefix" || arg == "--map" || arg == "--log";
        if (!takesValue) {
            if (arg.size() > 1 && arg[0] == '-') {
                Complain("unknown option '%s'", arg.c_str());
                return std::nullopt;
            }
            if (haveSource) {
                Complain("only one source file may be given ('%s')", arg.c_str());
                return std::nullopt;
            }
            parsed.source = arg;
            haveSource = true;
            continue;
        }
        if (i + 1 >= args.size()) {
            Complain("%s needs a value", arg.c_str());
            return std::nullopt;
        }
        const std::string& value = args[++i];
        if (arg == "--remote") {
            parsed.remote = value;
            haveRemote = true;
        } else if (arg == "--local") {
            parsed.local = value;
        } else if (arg == "--run-at") {
            if (value != "client" && value != "server") {
                Complain("--run-at takes client or server, not '%s'", value.c_str());
                return std::nullopt;
            }
            parsed.runAt = value == "client" ? RuntAtClient : RuntAtServer;
        } else if (arg == "--user") {
            parsed.user = ParseInt32(value);
            if (!parsed.user) {
                Complain("--user takes a 32-bit integer, not '%s'", value.c_str());
                return std::nullopt;
            }
        } else if (arg == "--delimiter") {
            if (!ParseDelimiter(value, parsed)) return std::nullopt;
        } else if (arg == "--start-row") {
            parsed.startRow = value;
        } else if (arg == "--to") {
            parsed.to = value;
        } else if (arg == "--prefix") {
            parsed.prefix = value;
        } else if (arg == "--map") {
            parsed.map = ParseMap(value);
            if (!parsed.map) return std::nullopt;
        } else {
            parsed.log = value;
        }
    }
    const char* missing = !haveSource || Trim(parsed.source).empty() ? "a source file"
                          : !haveRemote                              ? "--remote"
                          : !parsed.user                             ? "--user"
                                                                     : nullptr;
    if (missing) {
        Complain("%s is required", missing);
        return std::nullopt;
    }
    if (!parsed.runAt) parsed.runAt = parsed.local ? RuntAtClient : RuntAtServer;
    if (*parsed.runAt == RuntAtClient && !parsed.local) {
        Complain("--run-at client needs --local");
        return std::nullopt;
    }
    return parsed;
}

// Draws the wizard's progress bar on a terminal, ending its line when the bar
// is hidden so that messages start on a line of their own.
class TerminalProgress {
public:
    void operator()(const ProgressBar& bar) {
        if (!bar.Visible()) {
            if (drawn_) std::fputc('\n', stderr);
            drawn_ = false;
            return;
        }
        const int64_t span = bar.Max() - bar.Min();
        const int64_t done = bar.Value() - bar.Min();
        constexpr int64_t kWidth = 40;
        const int64_t filled = span > 0 ? std::min(kWidth, done * kWidth / span) : 0;
        std::fprintf(stderr, "\r[%s%s] %lld/%lld", std::string(static_cast<std::size_t>(filled), '#').c_str(),
                     std::string(static_cast<std::size_t>(kWidth - filled), '.').c_str(),
                     static_cast<long long>(done), static_cast<long long>(span));
        std::fflush(stderr);
        drawn_ = true;
    }

private:
    bool drawn_ = false;
};

// The window host of the batch import: the user's steps through the wizard,
// with the command's values.
class BatchImportHost : public WindowHost {
public:
    BatchImportHost(ImportArgs args, bool drawProgress) : args_(std::move(args)), drawProgress_(drawProgress) {}

    void ShowImportWizard(ImportForm& form) override {
        if (drawProgress_) form.controls.ProgressBar1.SetObserver(TerminalProgress{});
        ImportWizard wizard(form);
        // Closing the wizard closes the connections, however it ends.
        struct Closer {
            ImportWizard& wizard;
            ~Closer() { wizard.Unload(); }
        } closer{wizard};
        wizard.Load();
        if (args_.to && !ChooseDestination(wizard)) return;

        form.controls.txtLocation = args_.source;
        if (!ValidateFile(form, form.controls.txtLocation)) return;
        wizard.DelimiterOptionClick(args_.delimiterOption);
        form.controls.txtOther = args_.otherDelimiter;
        // The boxes hold at most 4 and 7 characters.
        form.controls.txtStartFromRow = Left(args_.startRow, 4);
        form.controls.txtPrefix = Left(args_.prefix, 7);
        if (args_.onlyIfNotPresent) wizard.ChkPresentClick(true);
        if (!wizard.Next()) return;

        if (args_.map && !ApplyMapping(form)) return;
        outcome = wizard.Finish();
        logFile = form.vars.ImportLogFile;
    }

    void ShowExportDialog(ExportDialog&) override {
        throw Error(errnum::InvalidProcedureCall, "The export dialog is not available to 'pelmar import'");
    }

    std::optional<ImportRunCounts> outcome;
    std::string logFile;

private:
    // The picker as this user would see it; the key must be one of its nodes.
    bool ChooseDestination(ImportWizard& wizard) {
        SelectFolderDialog picker;
        picker.Load();
        const FolderNode* node = picker.tvwFolders.Find(*args_.to);
        if (!node) {
            Complain("'%s' is not a folder or group that user %d may import into", args_.to->c_str(),
                     Session().UserID);
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
        for (const MapPair& pair : *args_.map) {
            if (pair.position >= grid.Rows()) {
                Complain("--map: the listed records have no column %d (columns 0 to %d)", pair.position,
                         grid.Rows() - 1);
                return false;
            }
            grid.SetDestination(pair.position + 1, pair.field);
        }
        return grid.Finish();
    }

    ImportArgs args_;
    bool drawProgress_;
};

}  // namespace

int RunImportCommand(const Args& args) {
    for (const std::string& arg : args) {
        if (arg == "--help" || arg == "-h") {
            std::fputs(kImportUsage, stdout);
            return 0;
        }
    }
    std::optional<ImportArgs> parsed = ParseArgs(args);
    if (!parsed) {
        std::fputs("\n", stderr);
        std::fputs(kImportUsage, stderr);
        return 2;
    }

    SetUserInterface(std::make_shared<ConsoleUserInterface>());
    const std::string local = parsed->local.value_or("");
    const std::string remote = parsed->remote;
    const RunApplicationAt runAt = *parsed->runAt;
    const std::string log = parsed->log;
    int32_t user = *parsed->user;
    auto host = std::make_shared<BatchImportHost>(std::move(*parsed), ::isatty(STDERR_FILENO) == 1);
    SetWindowHost(host);

    Manager manager;
    manager.Init(local, remote, runAt, log);
    if (!Session().InitDone) {
        Complain("initialisation failed; see the log %s", manager.LogFile().c_str());
        return 2;
    }
    if (manager.ImportContacts(user) == 0) {
        Complain("nothing was imported; see the log %s", manager.LogFile().c_str());
        return 2;
    }
    if (!host->outcome) return 2;

    const ImportRunCounts& counts = *host->outcome;
    std::printf("Total: %d\nImported: %d\nFailed: %d\nSkipped: %d\nLog: %s\n", counts.TotalRecords,
                counts.ImportedCount, counts.FailedCount, counts.SkippedCount, host->logFile.c_str());
    return counts.HadErrors ? 1 : 0;
}

}  // namespace pelmar::cli
