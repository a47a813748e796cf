#pragma once
// Transaction: a scope that is one transaction level of a connection. It
// begins the level when made; Commit ends it; leaving the scope without a
// commit (a return, an exception, a commit that failed) rolls it back.
// Guards made inside another's scope are its savepoints: rolling one back
// undoes only what ran since it began.
//
//   db::Transaction record(connection);
//   insert.Execute(...);   // throws: rolled back on the way out
//   record.Commit();
#include <cstdint>

namespace pelmar::db {

class Connection;

class Transaction {
public:
    // Begins a level (BeginTrans); its failure is the constructor's.
    explicit Transaction(Connection& connection);
    // Rolls the level back unless it was ended. A rollback that fails has
    // nowhere to go: a connection that cannot even roll back has lost the
    // work anyway.
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Commits the level. A commit that fails leaves it open, to be rolled
    // back by Rollback or on the way out.
    void Commit();
    // Rolls the level back now; its failure is the caller's.
    void Rollback();

    int32_t Level() const noexcept { return level_; }
    bool Open() const noexcept { return open_; }

private:
    Connection& connection_;
    int32_t level_;
    bool open_ = true;
};

}  // namespace pelmar::db
