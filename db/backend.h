#pragma once
// The private interface between the ADO-style objects and the two back ends
// (native SQLite, unixODBC). Nothing here names a back end's own types.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "db/ado.h"
#include "db/dialect.h"
#include "db/value.h"

namespace pelmar::db::detail {

// A parameter value ready to bind: Null, Int32 or Text (UTF-8), with the
// type that says how text travels (adVarChar narrow, adVarWChar wide).
struct BoundValue {
    DataType type = adInteger;
    Value value;
};

// The rows of one execution, read front to back.
class Cursor {
public:
    virtual ~Cursor() = default;
    virtual const std::vector<std::string>& ColumnNames() const = 0;
    // Reads the next row into `row`; false when there is none.
    virtual bool Fetch(std::vector<Value>& row) = 0;
};

// A statement prepared once and executed any number of times.
class Statement {
public:
    virtual ~Statement() = default;
    // Runs with `values` bound to the "?" markers in order. The cursor is
    // valid until the statement runs again or goes.
    virtual std::unique_ptr<Cursor> Execute(const std::vector<BoundValue>& values) = 0;
    virtual const std::string& Sql() const = 0;
};

class Session {
public:
    Session();
    virtual ~Session() = default;
    // Unique among all sessions of the process, so that a prepared statement
    // can tell that its connection was closed and opened again.
    uint64_t Id() const noexcept { return id_; }
    virtual Dialect GetDialect() const = 0;
    virtual std::shared_ptr<Statement> Prepare(const std::string& sql) = 0;

private:
    uint64_t id_;
};

// Opens the back end a connection string names; throws DbError.
std::unique_ptr<Session> OpenSqliteSession(const std::string& connectionString);
std::unique_ptr<Session> OpenOdbcSession(const std::string& connectionString);

// The rows of `statement`'s execution, keeping the statement alive as long as
// the cursor lives.
std::unique_ptr<Cursor> KeepAlive(std::shared_ptr<Statement> statement, std::unique_ptr<Cursor> cursor);

}  // namespace pelmar::db::detail
