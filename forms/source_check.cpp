#include "forms/source_check.h"

#include <fnmatch.h>

#include <filesystem>
#include <optional>
#include <system_error>

#include "common/error.h"
#include "common/file.h"
#include "common/general.h"
#include "common/text.h"
#include "common/ui.h"
#include "core/text_file.h"
#include "forms/standard_source.h"
#include "session/logger_factory.h"
#include "session/session_log.h"
#include "session/session_state.h"

namespace pelmar {

namespace {

bool IsNormalFile(const std::filesystem::path& path, const std::string& name) {
    if (name.empty() || name.front() == '.') return false;
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (status.type() == std::filesystem::file_type::not_found) return false;
    if (ec) throw Error(errnum::BadFileName, "Bad file name or number");
    return std::filesystem::is_regular_file(status);
}

// A name with wildcards (* and ?) is a pattern: any normal file of its
// folder that matches it is found.
bool NormalFileMatches(const std::filesystem::path& path, const std::string& pattern) {
    std::error_code ec;
    const std::filesystem::path folder = path.has_parent_path() ? path.parent_path() : ".";
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (fnmatch(pattern.c_str(), name.c_str(), FNM_PERIOD) == 0 && IsNormalFile(entry.path(), name)) return true;
    }
    return false;
}

// The directory search of the location box: only a normal file counts, so
// directories, devices and hidden files (a name starting with ".") do not.
// A name the file system rejects outright is a failure of its own.
bool NormalFileFound(const std::string& location) {
    if (location.empty()) return false;
    if (location.find('\0') != std::string::npos) {
        throw Error(errnum::BadFileName, "Bad file name or number");
    }
    const std::filesystem::path path(location);
    const std::string name = path.filename().string();
    if (IsNormalFile(path, name)) return true;
    return name.find_first_of("*?") != std::string::npos && NormalFileMatches(path, name);
}

// Kept on purpose: docs/behaviour.md#the-bad-files-name
// The rejected-records file: the path less its last four characters, plus
// ".bad". A path shorter than that cannot be cut.
std::string BadFileOf(const std::string& path) {
    const std::size_t chars = CharCount(path);
    if (chars < 4) throw Error(errnum::InvalidProcedureCall, "Invalid procedure call or argument");
    return Left(path, chars - 4) + ".bad";
}

// A source named as its own rejected-records file would be (x.bad, or a link
// to it) would have its failures appended to itself: ".bad" is added to the
// whole name instead (x.bad.bad), as often as it takes to name another file.
std::string BadFileApartFrom(const std::string& source, std::string badFile) {
    while (SameFile(badFile, source)) badFile += ".bad";
    return badFile;
}

// A line of the log (a private logger's when no Init made one).
void LogNotice(const SessionState& session, const std::string& line) {
    std::shared_ptr<EventLogger> logger = session.Logger;
    if (!logger) logger = CreateEventLogger();
    logger->WriteLog(session.LogFilePath, line, LogStamp::None, LogWrite::Append);
}

// Shows `reason` and says so in `check`.
SourceCheck& Refuse(SourceCheck& check, SourceCheck::Outcome outcome, const char* reason) {
    check.outcome = outcome;
    check.reason = reason;
    ShowNotification(reason, msgbox::Exclamation);
    return check;
}

// Writes the start row as "1" when its number is exactly 1 (so "01" becomes
// "1"); any other value stays as typed.
void RewriteStartRowOne(ImportControls& controls) {
    // Built then moved in: assigning the literal trips a false -Wrestrict in GCC 12 at -O2.
    if (LeadingNumber(controls.txtStartFromRow) == 1.0) controls.txtStartFromRow = std::string(1, '1');
}

}  // namespace

SourceCheck ValidateFile(ImportForm& form, const std::string& path) {
    ImportControls& controls = form.controls;
    ImportFormVariables& vars = form.vars;
    const SessionState& session = form.session;
    SourceCheck check;
    try {
        if (!NormalFileFound(controls.txtLocation))
            return Refuse(check, SourceCheck::Outcome::NotFound,
                          "The source file was not found at the specified location.");

        // The test handle only proves the file opens; the preview loads the
        // file named by the argument.
        std::optional<File> probe;
        EncodingChoice encoding;
        try {
            probe.emplace(Trim(controls.txtLocation), File::Mode::Input);
            vars.SourceLineCount = 0;
            controls.rtfPreview = StandardPreview(form, path, &encoding, &form.PreviewStamp);
        } catch (...) {
            check.error = CurrentErrorInfo();
            return Refuse(check, SourceCheck::Outcome::Unreadable,
                          "The source file you have specified could not be opened. Please check the file.");
        }

        vars.SourceLineCount = PreviewLineCount(controls.rtfPreview);

        vars.SourceFile = path;
        const std::string badFile = BadFileOf(path);
        vars.BadFile = BadFileApartFrom(path, badFile);
        vars.ImportLogFile = session.LogFilePath;

        // Said once, here: the listing decodes the file the same way.
        if (const auto notice = NoticeOf(encoding, path)) {
            LogNotice(session, notice->logLine);
            if (!notice->warning.empty()) CurrentUserInterface().ShowWarning(notice->warning);
        }
        if (vars.BadFile != badFile)
            LogNotice(session,
                      "PelmarImpExp: The source file has the name of its rejected-records file; records that fail go "
                      "to " +
                          vars.BadFile + " instead.");

        controls.spnPollingCausesValidation = false;

        if (vars.SourceLineCount > 0) {
            RewriteStartRowOne(controls);
            controls.txtStartFromRowEnabled = true;
            controls.spnPollingMax = vars.SourceLineCount;
            controls.lblPreview = "The following is a preview of the file : " + vars.SourceFile;
        }
        check.outcome = SourceCheck::Outcome::Loaded;
        check.sourceFile = vars.SourceFile;
        check.badFile = vars.BadFile;
        check.logFile = vars.ImportLogFile;
        return check;
    } catch (...) {
        constexpr const char* kReason = "An error has occurred while reading file.\r\nFor detail view log.";
        check = SourceCheck{};
        check.outcome = SourceCheck::Outcome::Failed;
        check.reason = kReason;
        check.error = CurrentErrorInfo();
        ReportFailure(session, nullptr, kReason, check.error,
                      "PelmarImpExp: Error occured. Sub: ValidateFile, Module: frmImport", LogStamp::None);
        return check;
    }
}

void SourceBrowsed(ImportForm& form, const std::string& path) {
    ImportControls& controls = form.controls;
    controls.txtLocation = path;
    controls.ActiveControl = ImportControl::txtLocation;
    controls.spnPollingCausesValidation = true;
    ValidateFile(form, controls.txtLocation);
    if (Trim(controls.txtLocation).empty()) {
        ResetSourcePage(form);
        controls.txtStartFromRow = std::string(1, '1');
    }
}

void SourceLocationChanged(ImportForm& form, const std::string& text) {
    form.controls.txtLocation = text;
    form.controls.spnPollingCausesValidation = true;
}

bool SourceLocationValidate(ImportForm& form) {
    ImportControls& controls = form.controls;
    if (Trim(controls.txtLocation).empty()) {
        ResetSourcePage(form);
        RewriteStartRowOne(controls);
        return true;
    }
    return ValidateFile(form, controls.txtLocation).Loaded();
}

void ResetSourcePage(ImportForm& form) {
    ImportControls& controls = form.controls;
    controls.lblPreview.clear();
    controls.rtfPreview.clear();
    form.PreviewStamp.reset();
    controls.spnPollingMin = 1;
    controls.spnPollingMax = 1;
    controls.txtStartFromRowEnabled = false;
}

}  // namespace pelmar
