#include "db/backend.h"

#include <atomic>

namespace pelmar::db::detail {
namespace {

class KeptCursor final : public Cursor {
public:
    KeptCursor(std::shared_ptr<Statement> statement, std::unique_ptr<Cursor> cursor)
            : statement_(std::move(statement)), cursor_(std::move(cursor)) {}
    ~KeptCursor() override { cursor_.reset(); }  // the rows go before their statement
    const std::vector<std::string>& ColumnNames() const override { return cursor_->ColumnNames(); }
    bool Fetch(std::vector<Value>& row) override { return cursor_->Fetch(row); }

private:
    std::shared_ptr<Statement> statement_;
    std::unique_ptr<Cursor> cursor_;
};

std::atomic<uint64_t> lastSessionId{0};

}  // namespace

BackendSession::BackendSession() : id_(++lastSessionId) {}

void Statement::ExecuteRows(BoundRows& rows, int32_t timeout) {
    for (std::size_t r = 0; r < rows.Size(); ++r) Execute(rows.Bind(r), timeout, false);
}

void Statement::ExecuteRowsForKeys(BoundRows& rows, const std::string& /*keyColumn*/, BackendSession& session,
                                   std::vector<int64_t>& keys, int32_t timeout) {
    for (std::size_t r = 0; r < rows.Size(); ++r) {
        Execute(rows.Bind(r), timeout, false);
        keys.push_back(session.LastInsertId(timeout));
    }
}

std::vector<std::string> SavepointStatements(TransactionStep step, int32_t level) {
    const std::string name = "PELMAR_LEVEL_" + std::to_string(level);
    switch (step) {
        case TransactionStep::Begin: return {"SAVEPOINT " + name};
        case TransactionStep::Commit: return {"RELEASE SAVEPOINT " + name};
        case TransactionStep::Rollback: break;
    }
    return {"ROLLBACK TO SAVEPOINT " + name, "RELEASE SAVEPOINT " + name};
}

std::unique_ptr<Cursor> KeepAlive(std::shared_ptr<Statement> statement, std::unique_ptr<Cursor> cursor) {
    return std::make_unique<KeptCursor>(std::move(statement), std::move(cursor));
}

}  // namespace pelmar::db::detail
