#pragma once
// SIGINT and SIGTERM while a command runs: the first one asks the run to stop
// after its current record (the run then writes its summary); a second one
// ends the process at once, as the signal would have.
#include <atomic>

namespace pelmar::cli {

class Interrupts {
public:
    Interrupts();   // installs the handlers
    ~Interrupts();  // puts the previous ones back
    Interrupts(const Interrupts&) = delete;
    Interrupts& operator=(const Interrupts&) = delete;

    // Set once a signal came: what the run's options point to.
    const std::atomic<bool>* Flag() const noexcept;
    // The shell's status for the signal that came (130 SIGINT, 143 SIGTERM),
    // or 0 when none did.
    int ExitStatus() const noexcept;
};

}  // namespace pelmar::cli
