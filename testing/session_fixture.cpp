#include "testing/session_fixture.h"

#include "component/manager.h"
#include "component/window_host.h"
#include "db/command.h"
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

void SessionTest::Exec(const std::vector<std::string>& statements) const {
    for (const auto& sql : statements) {
        db::Command command;
        command.SetActiveConnection(*connection_);
        command.CommandText = sql;
        command.Execute({}, db::adExecuteNoRecords);
    }
}

db::Recordset SessionTest::Query(const std::string& sql) const {
    db::Recordset records;
    records.SetCursorLocation(db::adUseClient);
    records.Open(sql, *connection_, db::adOpenStatic, db::adLockReadOnly);
    return records;
}

}  // namespace pelmar::test
