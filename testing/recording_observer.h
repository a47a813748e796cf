#pragma once
// Run observers that keep what a run showed, logged and recorded, for the
// tests to compare.

#include <string>
#include <vector>

#include "core/export_run.h"
#include "core/import_run.h"
#include "core/run_observer.h"

namespace pelmar::test {

// What a run showed and recorded: the prompts and the errors' descriptions.
template <class Observer>
struct Recording : Observer {
    void ShowMessage(const std::string& prompt, int32_t) override { messages.push_back(prompt); }
    void RecordError(const ErrorInfo& error, const std::string&, LogStamp) noexcept override {
        errors.push_back(error.Description);
    }
    ProgressBar& Progress() override { return bar; }

    ProgressBar bar;
    std::vector<std::string> messages, errors;
};

using RecordingObserver = Recording<RunObserver>;

// Bases of an observer of both runs, so that one recording serves either.
struct ImportAndExportObserver : ImportObserver, ExportObserver {};

// An import's or an export's: also the log lines, the .bad file's lines and
// the busy pointer's changes ("1" on, "0" off).
struct RecordingRunObserver : Recording<ImportAndExportObserver> {
    void SetBusy(bool busy) noexcept override { busyCalls += busy ? "1" : "0"; }
    void Log(const std::string& line) override { log.push_back(line); }
    void Reject(const std::string& line) override { bad.push_back(line); }

    std::vector<std::string> log, bad;
    std::string busyCalls;
};

}  // namespace pelmar::test
