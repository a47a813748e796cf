#include "db/transaction.h"

#include "db/connection.h"

namespace pelmar::db {

Transaction::Transaction(Connection& connection) : connection_(connection), level_(connection.BeginTrans()) {}

Transaction::~Transaction() {
    if (!open_) return;
    try {
        connection_.RollbackTrans();
    } catch (...) {  // NOLINT(bugprone-empty-catch)
    }
}

void Transaction::Commit() {
    connection_.CommitTrans();
    open_ = false;
}

void Transaction::Rollback() {
    connection_.RollbackTrans();
    open_ = false;
}

}  // namespace pelmar::db
