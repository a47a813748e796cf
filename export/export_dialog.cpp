#include "export/export_dialog.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#include "common/error.h"
#include "common/general.h"
#include "common/text.h"
#include "common/ui.h"
#include "component/session_state.h"
#include "export/export_run.h"

namespace pelmar {

namespace {

// Opens `path` for output as a text file: creates it or empties it, and
// closes it again when the object goes.
class OutputFile {
public:
    explicit OutputFile(const std::string& path) {
        if (path.empty()) throw Error(errnum::BadFileName, "Bad file name");
        fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0) Throw(path, errno);
    }
    ~OutputFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;

private:
    [[noreturn]] static void Throw(const std::string& path, int error) {
        int32_t number = errnum::PathFileAccessError;
        std::string kind = "Path/File access error";
        if (error == ENOENT || error == ENOTDIR) {
            number = errnum::PathNotFound;
            kind = "Path not found";
        } else if (error == EACCES || error == EPERM || error == EROFS) {
            number = errnum::PermissionDenied;
            kind = "Permission denied";
        } else if (error == ENAMETOOLONG) {
            number = errnum::BadFileName;
            kind = "Bad file name";
        }
        throw Error(number, kind + ": " + path + " (" + std::strerror(error) + ")");
    }

    int fd_ = -1;
};

}  // namespace

bool ExportDialog::ValidateFile(const std::string& FileName) {
    SessionState& session = Session();
    try {
        OutputFile destination(Trim(txtLocation));
        DestinationFile = FileName;
        ExportLogFile = session.LogFilePath;
        return true;
    } catch (...) {
        const ErrorInfo error = CurrentErrorInfo();
        if (!session.Logger) throw Error(errnum::ObjectRequired, "Object required");
        session.Logger->ShowMessage(
            "An error has occurred while opening the destination file.\r\nFor detail view log.",
            msgbox::Critical);
        session.Logger->WriteErrorLog(session.LogFilePath, error,
                                      "PelmarImpExp: Error occured. Sub: ValidateFile, Module: frmExport",
                                      false, true);
        return false;
    }
}

bool ExportDialog::txtLocation_Validate() {
    if (Trim(txtLocation).empty()) return true;
    return ValidateFile(txtLocation);
}

std::optional<ExportSummary> ExportDialog::cmdExport_Click() {
    if (Trim(DestinationFile).empty()) {
        ShowNotification("Please Select Destination File.", msgbox::Exclamation);
        Focus = Control::txtLocation;
        return std::nullopt;
    }
    return ExportFile(*this);
}

BrowseSettings ExportDialog::BrowseSetup() const {
    BrowseSettings settings;
    if (const char* windir = std::getenv("windir")) settings.InitDir = windir;
    return settings;
}

void ExportDialog::BrowseChosen(const std::string& fileName) {
    txtLocation = fileName;
    Focus = Control::txtLocation;
}

void ExportDialog::Unload() {
    txtLocation.clear();
    ProgressBar1 = ProgressBar{};
    Focus = Control::None;
}

ExportDialog& ThreadExportDialog() {
    thread_local ExportDialog dialog;
    return dialog;
}

}  // namespace pelmar
