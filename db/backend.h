#pragma once
// The private interface between the ADO-style objects and the two back ends
// (native SQLite, unixODBC). Nothing here names a back end's own types.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/ado.h"
#include "db/db_error.h"
#include "db/dialect.h"
#include "db/value.h"

namespace pelmar::db::detail {

// A parameter value ready to bind: Null, Int32 or Text (UTF-8), with the
// type that says how text travels (adVarChar narrow, adVarWChar wide).
struct BoundValue {
    DataType type = adInteger;
    bool null = true;
    int32_t integer = 0;
    // The text, read where the caller's value holds it (or from `converted`,
    // text made from a number): no copy on the way to the back end. The
    // caller's values live until Execute has returned.
    std::string_view text;
    std::string converted;
};

// The failure that left a session unusable: its link to the database broke,
// or a call ran out of time. The first one is kept, and every later call fails
// with it at once instead of waiting on the database again.
class Fault {
public:
    void Remember(const DbError& error) {
        if (!error_) error_ = error;
    }
    bool IsSet() const noexcept { return error_.has_value(); }
    // Throws the remembered failure, naming `sql` as its statement.
    void ThrowIfSet(const std::string& sql) const {
        if (error_) throw DbError(error_->Number(), error_->what(), error_->Source(), sql);
    }

private:
    std::optional<DbError> error_;
};

class BackendSession;

// The rows of one execution, read front to back.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual const std::vector<std::string>& ColumnNames() const = 0;
    // Reads the next row into `row`; false when there is none.
    virtual bool Fetch(std::vector<Value>& row) = 0;
};

// The values of many executions of one statement, bound a row at a time.
class BoundRows {
public:
    virtual ~BoundRows() = default;
    virtual std::size_t Size() const = 0;
    // Row `r`'s values as Execute takes them, valid until the next call;
    // throws when a value does not fit its parameter. A text read where the
    // rows keep it (not `converted`) stays valid while the rows live, so
    // that several rows can be bound at once.
    virtual const std::vector<BoundValue>& Bind(std::size_t r) = 0;
};

// A statement prepared once and executed any number of times.
class Statement {
public:
    virtual ~Statement() = default;
    // Runs with `values` bound to the "?" markers in order. The cursor is
    // valid until the statement runs again or goes. `timeout`, here and
    // below, is the seconds each call into the database may take (0: no
    // limit); the cursor's fetches keep the one of their execution. Without
    // `rows` the statement's rows are not wanted: no cursor is made (null).
    virtual std::unique_ptr<Cursor> Execute(const std::vector<BoundValue>& values, int32_t timeout, bool rows) = 0;
    // Runs once for each of `rows`, in order, making no cursor; throws when
    // a row failed (rows before it may have run). This one runs them one by
    // one; a back end with a round trip to save per row overrides it.
    virtual void ExecuteRows(BoundRows& rows, int32_t timeout);
    // Runs an INSERT once for each of `rows`, as ExecuteRows does, and
    // appends to `keys` the key each row was given in `keyColumn`, in order.
    // This one runs them one by one and asks `session` for each key; a back
    // end that can return the keys of many rows in one go overrides it.
    virtual void ExecuteRowsForKeys(BoundRows& rows, const std::string& keyColumn, BackendSession& session,
                                    std::vector<int64_t>& keys, int32_t timeout);
    virtual const std::string& Sql() const = 0;
};

enum class TransactionStep { Begin, Commit, Rollback };

// The statements of a nested transaction level (2 and deeper). Rolling a
// level back also releases it, so that levels begun again do not pile up.
std::vector<std::string> SavepointStatements(TransactionStep step, int32_t level);

class BackendSession {
public:
    BackendSession();
    virtual ~BackendSession() = default;
    // Unique among all sessions of the process, so that a prepared statement
    // can tell that its connection was closed and opened again.
    uint64_t Id() const noexcept { return id_; }
    virtual Dialect GetDialect() const = 0;
    virtual std::shared_ptr<Statement> Prepare(const std::string& sql, int32_t timeout) = 0;
    // Begins, commits or rolls back a transaction level: 1 is the
    // transaction itself (outside one every statement commits on its own),
    // deeper levels are savepoints (SavepointStatements).
    virtual void Transact(TransactionStep step, int32_t level, int32_t timeout) = 0;
    // The key the database generated for this session's last insert.
    virtual int64_t LastInsertId(int32_t timeout) = 0;

    // Fails at once when an earlier call left the session unusable.
    void CheckUsable(const std::string& sql) const { fault_->ThrowIfSet(sql); }
    bool IsBroken() const noexcept { return fault_->IsSet(); }

protected:
    // Shared with the session's statements, which record into it.
    const std::shared_ptr<Fault> fault_ = std::make_shared<Fault>();

private:
    uint64_t id_;
};

// Opens the back end a connection string names; throws DbError. An ODBC
// login may take `connectTimeout` seconds (0: no limit).
std::unique_ptr<BackendSession> OpenSqliteSession(const std::string& connectionString);
std::unique_ptr<BackendSession> OpenOdbcSession(const std::string& connectionString, int32_t connectTimeout);

// The rows of `statement`'s execution, keeping the statement alive as long as
// the cursor lives.
std::unique_ptr<Cursor> KeepAlive(std::shared_ptr<Statement> statement, std::unique_ptr<Cursor> cursor);

}  // namespace pelmar::db::detail
