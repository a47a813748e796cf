#include "testing/session_fixture.h"

#include "component/manager.h"
#include "component/window_host.h"

namespace pelmar::test {

void SessionTest::SetUp() {
    BackendTest::SetUp();
    if (IsSkipped()) return;
    SetWindowHost(nullptr);
    SetUserInterface(ui);
}

void SessionTest::TearDown() {
    SetWindowHost(nullptr);
    SetUserInterface(nullptr);
    BackendTest::TearDown();
}

void SessionTest::InitSession(RunApplicationAt runAt, const std::string& logFile) {
    Manager(session).Init(ConnectionString(), ConnectionString(), runAt, logFile);
}

}  // namespace pelmar::test
