#include "cli/interrupts.h"

#include <csignal>

namespace pelmar::cli {
namespace {

std::atomic<bool> stopRequested{false};
volatile std::sig_atomic_t signalNumber = 0;
struct sigaction previousInt {};
struct sigaction previousTerm {};

extern "C" void OnSignal(int signal) {
    signalNumber = signal;
    stopRequested.store(true);
}

void Install(int signal, struct sigaction& previous) {
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    // Calls in progress go on (the run checks between records); the handler
    // steps aside after the first signal, so a second one ends the process.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(signal, &action, &previous);
}

}  // namespace

Interrupts::Interrupts() {
    Install(SIGINT, previousInt);
    Install(SIGTERM, previousTerm);
}

Interrupts::~Interrupts() {
    sigaction(SIGINT, &previousInt, nullptr);
    sigaction(SIGTERM, &previousTerm, nullptr);
}

const std::atomic<bool>* Interrupts::Flag() const noexcept { return &stopRequested; }

int Interrupts::ExitStatus() const noexcept { return signalNumber ? 128 + signalNumber : 0; }

}  // namespace pelmar::cli
