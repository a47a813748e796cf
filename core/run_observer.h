#pragma once
// How a run of the core reports to whoever drives it (a window, the command
// line): messages for the user, failures of routines that record their own,
// a progress bar and the busy pointer. Each run adds what else it reports.
// A call may throw: the run treats that as a failure of the step that made it,
// except RecordError and SetBusy, which must not throw.
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
    virtual void SetBusy(bool /*busy*/) noexcept {}

    ErrorRecorder Recorder() {
        return [this](const ErrorInfo& error, const std::string& message, LogStamp stamp) {
            RecordError(error, message, stamp);
        };
    }
};

// The busy pointer shown while it lives, however the routine that made it
// ends.
class BusyPointer {
public:
    explicit BusyPointer(RunObserver& observer) noexcept : observer_(observer) { observer_.SetBusy(true); }
    ~BusyPointer() { observer_.SetBusy(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    RunObserver& observer_;
};

}  // namespace pelmar
