#pragma once
// A run observer that keeps what a run showed and the errors it recorded,
// for the tests to compare.

#include <string>
#include <vector>

#include "core/run_observer.h"

namespace pelmar::test {

struct RecordingObserver : RunObserver {
    void ShowMessage(const std::string& prompt, int32_t) override { messages.push_back(prompt); }
    void RecordError(const ErrorInfo& error, const std::string&, LogStamp) noexcept override {
        errors.push_back(error.Description);
    }
    ProgressBar& Progress() override { return bar; }

    ProgressBar bar;
    std::vector<std::string> messages, errors;  // the prompts shown; the errors' descriptions
};

}  // namespace pelmar::test
