#pragma once
// How a run of the core reports to whoever drives it (a window, the command
// line): messages for the user, failures of routines that record their own,
// a progress bar and the busy pointer. Each run adds what else it reports.
// A call may throw: the run treats that as a failure of the step that made it,
// except RecordError, which must not throw.
#include <cstdint>
#include <string>

#include "common/error_info.h"
#include "common/progress.h"

namespace pelmar {

class RunObserver {
public:
    virtual ~RunObserver() = default;

    virtual void ShowMessage(const std::string& prompt, int32_t style) = 0;
    virtual void RecordError(const ErrorInfo& error, const std::string& message, LogStamp stamp) noexcept = 0;
    virtual ProgressBar& Progress() = 0;
    virtual void SetBusy(bool /*busy*/) {}

    ErrorRecorder Recorder() {
        return [this](const ErrorInfo& error, const std::string& message, LogStamp stamp) {
            RecordError(error, message, stamp);
        };
    }
};

}  // namespace pelmar
