#pragma once
// The import wizard's side of the core's listing and import runs: log lines go
// to the form's import log and rejected-records file through its session's
// logger, messages through ShowNotification, failures of routines with their
// own failure path to the session's log; the form's progress bar and pointer
// move; and after a run the wizard is left ready only to close.
#include <cstdint>
#include <string>

#include "core/import_run.h"
#include "forms/import_form.h"

namespace pelmar {

class WizardObserver final : public ImportObserver {
public:
    explicit WizardObserver(ImportForm& form) : form_(form) {}

    void ShowMessage(const std::string& prompt, int32_t style) override;
    void RecordError(const ErrorInfo& error, const std::string& message, LogStamp stamp) noexcept override;
    ProgressBar& Progress() override { return form_.controls.ProgressBar1; }
    void SetBusy(bool busy) noexcept override;
    void Log(const std::string& line) override;
    void Reject(const std::string& line) override;
    void Finished() override;

private:
    ImportForm& form_;
};

}  // namespace pelmar
