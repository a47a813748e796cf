#include "forms/export_file.h"

#include "common/general.h"
#include "common/text.h"
#include "core/source_format.h"
#include "session/session_log.h"
#include "session/session_state.h"

namespace pelmar {
namespace {

// The export dialog's side of the run: its log, its progress bar and pointer,
// message boxes through ShowNotification.
class DialogObserver final : public ExportObserver {
public:
    explicit DialogObserver(ExportDialog& dialog) : dialog_(dialog) {}

    void ShowMessage(const std::string& prompt, int32_t style) override { ShowNotification(prompt, style); }
    void RecordError(const ErrorInfo& error, const std::string& message, LogStamp stamp) noexcept override {
        RecordSessionError(dialog_.State(), error, message, stamp);
    }
    ProgressBar& Progress() override { return dialog_.ProgressBar1; }
    void SetBusy(bool busy) noexcept override {
        if (dialog_.SetBusyPointer) dialog_.SetBusyPointer(busy);
    }
    void Log(const std::string& line) override {
        SessionLogger(dialog_.State()).WriteLog(dialog_.ExportLogFile, line, LogStamp::None, LogWrite::Append);
    }
    void Finished() override {
        dialog_.txtLocation.clear();
        dialog_.DestinationFile.clear();
        dialog_.Focus = ExportDialog::Control::cmdClose;
    }

private:
    ExportDialog& dialog_;
};

// The connection RunAt selects; none for any other RunAt.
db::Connection* ExportConnection(const SessionState& session) {
    if (session.RunAt == RuntAtClient) return session.LocalConnection.get();
    if (session.RunAt == RuntAtServer) return session.RemoteConnection.get();
    return nullptr;
}

ExportFormat FormatOfName(const std::string& path) {
    switch (FileFormatOfName(Trim(path))) {
        case FileFormat::Vcard: return ExportFormat::Vcard4;
        case FileFormat::Xlsx: return ExportFormat::Xlsx;
        case FileFormat::Csv: break;
    }
    return ExportFormat::Csv;
}

}  // namespace

ExportSummary ExportFile(ExportDialog& dialog) {
    const SessionState& session = dialog.State();
    DialogObserver observer(dialog);
    // The check created the destination under its trimmed name; the run
    // writes there, while the log and the messages name it as typed.
    return RunExport({.destinationFile = dialog.DestinationFile,
                      .outputFile = Trim(dialog.DestinationFile),
                      .runAt = session.RunAt,
                      .userId = session.UserID,
                      .stop = dialog.StopRequested,
                      .format = dialog.chkStandardFormats ? FormatOfName(dialog.DestinationFile) : dialog.Format,
                      .numbers = dialog.Numbers},
                     ExportConnection(session), observer);
}

}  // namespace pelmar
