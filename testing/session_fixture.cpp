#include "testing/session_fixture.h"

#include "component/manager.h"
#include "component/window_host.h"
#include "db/connection.h"
#include "testing/temp_dir.h"

namespace pelmar::test {

void SessionTest::SetUp() {
    BackendTest::SetUp();
    if (IsSkipped()) return;
    SetWindowHost(nullptr);
    SetUserInterface(ui);
    connection_ = std::make_shared<db::Connection>();
    connection_->Open(ConnectionString());
}

void SessionTest::TearDown() {
    SetWindowHost(nullptr);
    SetUserInterface(nullptr);
    BackendTest::TearDown();
}

void SessionTest::InitSession(RunApplicationAt runAt, const std::string& logFile) {
    Manager(session).Init(ConnectionString(), ConnectionString(), runAt, logFile);
}

void SessionTest::Exec(const std::vector<std::string>& statements) const { ExecAll(*connection_, statements); }

Rows SessionTest::Select(const std::string& sql, const std::string& null) const {
    return SelectRows(*connection_, sql, null);
}

}  // namespace pelmar::test
