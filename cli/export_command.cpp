// pelmar export: the export dialog driven from the command line. The host
// initialises a Manager, and its window host fills in the destination, lets
// the dialog validate it, and presses Export.
#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "cli/export_formats.h"
#include "cli/host.h"
#include "cli/interrupts.h"
#include "cli/phone_options.h"
#include "common/error.h"
#include "common/file.h"
#include "common/text.h"
#include "component/component_folder.h"
#include "component/manager.h"
#include "component/window_host.h"
#include "db/connection_string.h"
#include "forms/export_dialog.h"

namespace pelmar::cli {

namespace {

constexpr const char* kExportDescription =
    "Exports the address book's contacts to DEST, a comma-separated text file\n"
    "(created, or emptied when it exists). At a client (--run-at client, the\n"
    "default when --local is given) the contacts of user ID are read from the\n"
    "local database; at the server (the default otherwise) every contact of the\n"
    "remote database is exported, once user ID is found there enabled.";

constexpr const char* kExportFooter =
    "Messages go to standard error, the number of contacts exported to standard\n"
    "output. Progress goes to standard error: a bar on a terminal, else a line at\n"
    "every tenth.\n"
    "\n"
    "exit status: 0 the export completed (also when there were no contacts),\n"
    "             1 it completed with errors (see the log),\n"
    "             130, 143 it was interrupted by SIGINT or SIGTERM (the file holds\n"
    "               the contacts exported so far),\n"
    "             2 nothing was exported (bad arguments, a refused destination,\n"
    "               initialisation failed, user not found, destination could\n"
    "               not be opened).";

const HostCommand kExport = {"export",
                             "export contacts to a comma-separated file",
                             kExportDescription,
                             kExportFooter,
                             "DEST",
                             "the export file; not a folder, the log, or a SQLite\n"
                             "database of --remote or --local (or its journal)",
                             "a destination file"};

// The window host of the batch export: the destination is "typed" into the
// dialog, validated as leaving the box would, and Export is pressed.
class BatchExportHost : public WindowHost {
public:
    BatchExportHost(std::string destination, const std::atomic<bool>* stop, ExportFormat format)
            : destination_(std::move(destination)), stop_(stop), format_(format) {}

    void ShowImportWizard(ImportForm&) override {
        throw Error(errnum::InvalidProcedureCall, "The import wizard is not available to 'pelmar export'");
    }

    void ShowExportDialog(ExportDialog& dialog) override {
        progress_.Attach(dialog.ProgressBar1);
        progress_.SetPhase("exporting");
        dialog.StopRequested = stop_;
        dialog.Format = format_;
        dialog.Numbers = numbers;
        dialog.txtLocation = destination_;
        if (dialog.txtLocation_Validate()) outcome = dialog.cmdExport_Click();
        dialog.cmdClose_Click();
    }

    std::optional<ExportSummary> outcome;
    ExportNumbers numbers;

private:
    std::string destination_;
    const std::atomic<bool>* stop_;
    ExportFormat format_;
    ProgressDisplay progress_{kExport};
};

// Why DEST must not be created or emptied ("it is ..."), if it must not: a
// folder, the log the run writes, or a file of a SQLite database the run
// reads (the database, its write-ahead log, shared memory or journal),
// compared as resolved files, links included. The dialog creates the
// trimmed name.
std::optional<std::string> RefusedDestination(const HostOptions& options) {
    const std::string destination = Trim(options.operand);
    std::error_code ec;
    if (std::filesystem::is_directory(destination, ec)) return "it is a folder";

    const std::string log = Trim(options.log);
    std::vector<std::pair<std::string, std::string>> guarded = {{log.empty() ? DefaultLogFile() : log, "the log"}};
    for (const std::optional<std::string>& cs : {std::optional(options.remote), options.local}) {
        const std::optional<std::string> database = cs ? db::SqliteDatabasePath(*cs) : std::nullopt;
        if (!database || database->empty()) continue;
        guarded.emplace_back(*database, "the database");
        for (const char* suffix : {"-wal", "-shm", "-journal"})
            guarded.emplace_back(*database + suffix, "a file of the database " + *database);
    }
    for (const auto& [path, what] : guarded)
        if (SameFile(destination, path)) return "it is " + what;
    return std::nullopt;
}

}  // namespace

Run AddExportCommand(CLI::App& pelmar) {
    auto options = std::make_shared<HostOptions>();
    auto formats = std::make_shared<ExportFormatChoice>();
    CLI::App& app = AddHostCommand(pelmar, kExport, *options, "client or server");
    AddExportFormatOptions(app, *formats);
    auto numbers = std::make_shared<ExportNumbers>();
    AddExportPhoneOptions(app, *numbers);
    return [options, formats, numbers, &app] {
        if (!CheckHostOptions(kExport, *options)) return 2;
        const std::optional<ExportFormat> format = SettleExportFormat(kExport, app, *formats);
        if (!format) return 2;
        if (const auto problem = ExportPhoneProblem(*numbers, *format == ExportFormat::Csv)) {
            Complain(kExport, *problem);
            return 2;
        }
        // Refused before Init, so that nothing is created or emptied.
        if (const auto refused = RefusedDestination(*options)) {
            Complain(kExport, "refusing to export to " + Trim(options->operand) + ": " + *refused);
            return 2;
        }
        const Interrupts interrupts;
        auto host = std::make_shared<BatchExportHost>(options->operand, interrupts.Flag(), *format);
        host->numbers = *numbers;
        Manager manager;
        if (!StartHost(kExport, *options, host, manager)) return 2;
        int32_t user = options->user;
        const bool exported = manager.ExportContacts(user) != 0 && host->outcome;
        if (options->userLog) Complain(kExport, "the log is " + options->log);
        if (!exported) return 2;

        std::printf("%d\n", host->outcome->Count);
        if (interrupts.ExitStatus()) return interrupts.ExitStatus();
        return host->outcome->Errors ? 1 : 0;
    };
}

}  // namespace pelmar::cli
