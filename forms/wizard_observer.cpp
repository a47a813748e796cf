#include "forms/wizard_observer.h"

#include "common/file.h"
#include "common/general.h"
#include "forms/source_check.h"
#include "session/session_log.h"
#include "session/session_state.h"

namespace pelmar {

void WizardObserver::ShowMessage(const std::string& prompt, int32_t style) { ShowNotification(prompt, style); }

void WizardObserver::RecordError(const ErrorInfo& error, const std::string& message, LogStamp stamp) noexcept {
    RecordSessionError(form_.session, error, message, stamp);
}

void WizardObserver::SetBusy(bool busy) noexcept {
    if (form_.SetBusyPointer) form_.SetBusyPointer(busy);
}

void WizardObserver::Log(const std::string& line) {
    SessionLogger(form_.session).WriteLog(form_.vars.ImportLogFile, line, LogStamp::None, LogWrite::Append);
}

void WizardObserver::Reject(const std::string& line) {
    // Failed records are people's data: the file is the owner's alone.
    CreateDataFile(form_.vars.BadFile);
    SessionLogger(form_.session).WriteLog(form_.vars.BadFile, line, LogStamp::None, LogWrite::Append);
    ++form_.BadLinesWritten;
}

void WizardObserver::Finished() {
    ImportControls& controls = form_.controls;
    controls.ProgressBar1.SetVisible(false);
    // Emptied as if typed: the box's change handler runs; the preview stays.
    SourceLocationChanged(form_, "");
    controls.cmdCloseEnabled = true;
    controls.ActiveControl = ImportControl::cmdClose;
    controls.cmdFinishEnabled = false;
    controls.cmdPrevEnabled = false;
    controls.cmdMappingEnabled = false;
}

}  // namespace pelmar
