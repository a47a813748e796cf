#pragma once
// A test over every back end with an empty SessionState, no window host and a recording user interface.
#include <memory>
#include <string>

#include "common/ui.h"
#include "core/enums.h"
#include "session/session_state.h"
#include "testing/db_backends.h"

namespace pelmar::test {

class SessionTest : public BackendTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // Init of a Manager on `session`, as a host makes it.
    void InitSession(RunApplicationAt runAt, const std::string& logFile);

    std::shared_ptr<RecordingUserInterface> ui = std::make_shared<RecordingUserInterface>();
    SessionState session;
};

}  // namespace pelmar::test
