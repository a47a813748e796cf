#pragma once
// What the tests of the forms and their windows share: a session that logs
// to a file of a fresh folder, a recording user interface on the test's
// thread, and the message boxes it showed as one text to compare.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "common/ui.h"
#include "session/logger_factory.h"
#include "session/session_state.h"
#include "testing/temp_dir.h"

namespace pelmar::test {

// The boxes shown since the last call, a "STYLE PROMPT" line each; forgets them.
inline std::string TakeShown(RecordingUserInterface& ui) {
    std::string shown;
    for (const auto& m : ui.messages) shown += std::to_string(m.style) + " " + m.prompt + "\n";
    ui.messages.clear();
    return shown;
}

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUserInterface(ui);
        session.Logger = CreateEventLogger();
        session.LogFilePath = logFile;
    }
    void TearDown() override { SetUserInterface(nullptr); }

    TempDir folder;
    std::string logFile = folder.file("impexp.log");
    std::shared_ptr<RecordingUserInterface> ui = std::make_shared<RecordingUserInterface>();
    SessionState session;
};

}  // namespace pelmar::test
