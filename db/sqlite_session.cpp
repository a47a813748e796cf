// The native SQLite back end.
#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <limits>
#include <map>
#include <utility>

#include "db/backend.h"
#include "db/connection_string.h"
#include "db/db_error_source.h"

namespace pelmar::db::detail {
namespace {

struct DatabaseCloser {
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const noexcept { sqlite3_finalize(statement); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;
using StatementHandle = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

std::string SqliteText(sqlite3* db, int rc) {
    std::string message = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    const int code = db ? sqlite3_extended_errcode(db) : rc;
    return FoldLines(message) + " (SQLite error " + std::to_string(code) + ")";
}

[[noreturn]] void ThrowSqlite(sqlite3* db, int rc, const std::string& context, const std::string& sql) {
    throw DbError(errnum::DatabaseError, context + SqliteText(db, rc), kSourceSqlite, sql);
}

// The time limit of the step under way. SQLite calls the progress handler
// every thousand virtual-machine instructions; past the deadline it makes the
// step fail with SQLITE_INTERRUPT. Waits for another connection's lock
// are bounded by the busy timeout instead.
class StepLimit {
public:
    using Clock = std::chrono::steady_clock;

    void Start(int32_t seconds) {
        expired_ = false;
        deadline_ = seconds > 0 ? Clock::now() + std::chrono::seconds(seconds) : Clock::time_point::max();
    }
    // Ends the step; true when it was interrupted for its time.
    bool Stop() {
        deadline_ = Clock::time_point::max();
        return expired_;
    }

    static int OnProgress(void* self) {
        auto& limit = *static_cast<StepLimit*>(self);
        if (limit.deadline_ == Clock::time_point::max() || Clock::now() < limit.deadline_) return 0;
        limit.expired_ = true;
        return 1;
    }

private:
    Clock::time_point deadline_ = Clock::time_point::max();
    bool expired_ = false;
};

// Pragma values go into the statement text, so only plain words pass.
std::string PragmaWord(const std::string& key, const std::string& value) {
    if (value.empty() ||
        !std::all_of(value.begin(), value.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
        throw DbError(errnum::DatabaseError, "Invalid " + key + " value '" + value + "' in the connection string.",
                      kSourceSqlite);
    return value;
}

class SqliteStatement;

class SqliteCursor final : public Cursor {
public:
    SqliteCursor(SqliteStatement& statement, uint64_t generation, bool hasRow);
    const std::vector<std::string>& ColumnNames() const override;
    bool Fetch(std::vector<Value>& row) override;

private:
    SqliteStatement& statement_;
    uint64_t generation_;
    bool hasRow_;
};

class SqliteStatement final : public Statement {
public:
    // The limit and the fault are shared: a statement may outlive its session
    // (its database closes with the last statement).
    SqliteStatement(sqlite3* db, const std::string& sql, std::shared_ptr<StepLimit> limit, std::shared_ptr<Fault> fault)
            : limit_(std::move(limit)), fault_(std::move(fault)), db_(db), sql_(sql) {
        sqlite3_stmt* raw = nullptr;
        const int rc = sqlite3_prepare_v2(db_, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
        statement_.reset(raw);
        check(rc);
        const int columns = sqlite3_column_count(raw);
        for (int i = 0; i < columns; ++i) names_.emplace_back(sqlite3_column_name(raw, i));
    }

    std::unique_ptr<Cursor> Execute(const std::vector<BoundValue>& values, int32_t timeout, bool rows) override {
        sqlite3_stmt* s = statement_.get();
        ++generation_;
        timeout_ = timeout;
        sqlite3_reset(s);  // its code repeats the last step's failure, already reported
        // Markers this run leaves unbound must not keep the last run's values.
        if (values.size() < static_cast<std::size_t>(sqlite3_bind_parameter_count(s))) check(sqlite3_clear_bindings(s));
        for (std::size_t i = 0; i < values.size(); ++i) Bind(s, static_cast<int>(i) + 1, values[i]);
        const bool hasRow = Step();
        if (!rows) return nullptr;
        return std::make_unique<SqliteCursor>(*this, generation_, hasRow);
    }

    // The rows of an INSERT ... VALUES (...) go in groups through one
    // statement of as many VALUES lists, so that the costs of each execution
    // (a step, a reset, the buffers SQLite allocates for a run) are paid once
    // a group; what is left over, and any other statement, runs row by row.
    void ExecuteRows(BoundRows& rows, int32_t timeout) override {
        std::size_t r = 0;
        if (SqliteStatement* grouped = Grouped(rows.Size())) {
            const std::size_t group = grouped->groupRows_;
            try {
                for (; r + group <= rows.Size(); r += group) grouped->ExecuteGroup(rows, r, timeout);
            } catch (const DbError& e) {
                throw DbError(e.Number(), e.what(), e.Source(), sql_);  // the statement the caller gave
            }
        }
        for (; r < rows.Size(); ++r) Execute(rows.Bind(r), timeout, false);
    }

    const std::string& Sql() const override { return sql_; }

    // One step: true on a row, false when done, an error otherwise.
    bool Step() {
        limit_->Start(timeout_);
        const int rc = sqlite3_step(statement_.get());
        const bool expired = limit_->Stop();
        if (rc == SQLITE_ROW) return true;
        if (rc == SQLITE_DONE) return false;
        if (expired && rc == SQLITE_INTERRUPT) {
            const DbError error = TimedOut("command", timeout_, SqliteText(db_, rc), kSourceSqlite, sql_);
            fault_->Remember(error);
            throw error;
        }
        ThrowSqlite(db_, rc, {}, sql_);
    }

    void ReadRow(std::vector<Value>& row) const {
        sqlite3_stmt* s = statement_.get();
        row.clear();
        for (int i = 0; i < static_cast<int>(names_.size()); ++i) {
            switch (sqlite3_column_type(s, i)) {
                case SQLITE_NULL: row.emplace_back(Null{}); break;
                case SQLITE_INTEGER: {
                    const sqlite3_int64 v = sqlite3_column_int64(s, i);
                    if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
                        row.emplace_back(static_cast<int32_t>(v));
                    else
                        row.emplace_back(static_cast<int64_t>(v));
                    break;
                }
                case SQLITE_FLOAT: row.emplace_back(sqlite3_column_double(s, i)); break;
                default: {
                    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(s, i));
                    row.emplace_back(
                        std::string(text ? text : "", static_cast<std::size_t>(sqlite3_column_bytes(s, i))));
                }
            }
        }
    }

    const std::vector<std::string>& Names() const { return names_; }
    uint64_t Generation() const { return generation_; }

private:
    void check(int rc) const {
        if (rc != SQLITE_OK) ThrowSqlite(db_, rc, {}, sql_);
    }

    void Bind(sqlite3_stmt* s, int index, const BoundValue& value) const {
        if (value.null) {
            check(sqlite3_bind_null(s, index));
        } else if (value.type == adInteger) {
            check(sqlite3_bind_int(s, index, value.integer));
        } else {
            // Static: the caller's text outlives every step of this run, which
            // Command takes to the end before it returns; text made from a
            // number lives only until the value is bound again.
            const bool converted = !value.converted.empty() && value.text.data() == value.converted.data();
            check(sqlite3_bind_text(s, index, value.text.data(), static_cast<int>(value.text.size()),
                                    converted ? SQLITE_TRANSIENT : SQLITE_STATIC));
        }
    }

    // The statement of this one's VALUES list repeated for a group of rows,
    // made the first time `rows` rows are enough for one; null when this is
    // no plain INSERT ... VALUES (...) with markers.
    SqliteStatement* Grouped(std::size_t rows) {
        const auto width = static_cast<std::size_t>(sqlite3_bind_parameter_count(statement_.get()));
        if (!grouped_ && !ungroupable_) {
            const std::size_t values = FindValuesList(sql_);
            const auto limit = static_cast<std::size_t>(sqlite3_limit(db_, SQLITE_LIMIT_VARIABLE_NUMBER, -1));
            const std::size_t group = width == 0 ? 0 : std::min<std::size_t>(kGroupRows, limit / width);
            ungroupable_ = values == std::string::npos || group < 2 ||
                           static_cast<std::size_t>(std::count(sql_.begin() + values, sql_.end(), '?')) != width;
            if (ungroupable_) return nullptr;
            if (rows < group) return nullptr;
            const std::string list = sql_.substr(values, sql_.find_last_of(')') + 1 - values);
            std::string sql = sql_.substr(0, values) + list;
            for (std::size_t i = 1; i < group; ++i) sql += "," + list;
            grouped_ = std::make_unique<SqliteStatement>(db_, sql, limit_, fault_);
            grouped_->groupRows_ = group;
        }
        return grouped_ && rows >= grouped_->groupRows_ ? grouped_.get() : nullptr;
    }

    // Where the one VALUES list of an INSERT begins ("(" after VALUES, the
    // statement ending with its ")"); npos for any other statement.
    static std::size_t FindValuesList(const std::string& sql) {
        std::string upper = sql;
        std::transform(upper.begin(), upper.end(), upper.begin(),
                       [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
        const std::size_t start = upper.find_first_not_of(" \t\r\n");
        const std::size_t values = upper.rfind("VALUES");
        if (start == std::string::npos || upper.compare(start, 6, "INSERT") != 0 || values == std::string::npos)
            return std::string::npos;
        const std::size_t open = upper.find_first_not_of(" \t\r\n", values + 6);
        const std::size_t close = upper.find_last_not_of(" \t\r\n;");
        if (open == std::string::npos || upper[open] != '(' || upper[close] != ')') return std::string::npos;
        if (upper.find(')', open) != close || upper.find('(', open + 1) != std::string::npos) return std::string::npos;
        return open;
    }

    // Binds rows `first` on, groupRows_ of them, and runs this statement once.
    void ExecuteGroup(BoundRows& rows, std::size_t first, int32_t timeout) {
        sqlite3_stmt* s = statement_.get();
        ++generation_;
        timeout_ = timeout;
        sqlite3_reset(s);  // its code repeats the last step's failure, already reported
        int index = 1;
        for (std::size_t r = first; r < first + groupRows_; ++r)
            for (const BoundValue& value : rows.Bind(r)) Bind(s, index++, value);
        Step();
    }

    static constexpr std::size_t kGroupRows = 64;

    std::shared_ptr<StepLimit> limit_;
    std::shared_ptr<Fault> fault_;
    sqlite3* db_;
    std::string sql_;
    StatementHandle statement_;
    std::unique_ptr<SqliteStatement> grouped_;  // for ExecuteRows
    bool ungroupable_ = false;
    std::size_t groupRows_ = 1;
    std::vector<std::string> names_;
    uint64_t generation_ = 0;
    int32_t timeout_ = 0;
};

SqliteCursor::SqliteCursor(SqliteStatement& statement, uint64_t generation, bool hasRow)
        : statement_(statement), generation_(generation), hasRow_(hasRow) {}

const std::vector<std::string>& SqliteCursor::ColumnNames() const { return statement_.Names(); }

bool SqliteCursor::Fetch(std::vector<Value>& row) {
    if (!hasRow_) return false;
    if (statement_.Generation() != generation_)
        ThrowAdo(errnum::DatabaseError, "The rows were discarded when their statement ran again.", statement_.Sql());
    statement_.ReadRow(row);
    hasRow_ = statement_.Step();
    return true;
}

class SqliteSession final : public BackendSession {
public:
    explicit SqliteSession(const std::string& connectionString) {
        const auto pairs = ParseConnectionString(connectionString);
        const std::string path = FindConnectionValue(pairs, "Database").value_or("");
        // An empty name would open a private temporary database.
        if (path.empty())
            throw DbError(errnum::DatabaseError, "The SQLite connection string names no Database file.", kSourceSqlite);
        const std::string context = "Cannot open the SQLite database '" + path + "': ";
        // Never create a file here: a mistyped path must fail. A connection
        // belongs to one session, and a session to one thread, so SQLite's
        // own lock around every call would only cost time (one mutex per
        // call of a run's hot path).
        sqlite3* raw = nullptr;
        const int rc = sqlite3_open_v2(path.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
        db_.reset(raw);
        if (rc != SQLITE_OK) ThrowSqlite(raw, rc, context, {});

        const auto timeout = FindConnectionValue(pairs, "Timeout");
        int timeoutMs = 5000;
        if (timeout) {
            try {
                timeoutMs = std::stoi(*timeout);
            } catch (const std::exception&) {
                throw DbError(errnum::DatabaseError,
                              "Invalid Timeout value '" + *timeout + "' in the connection string.", kSourceSqlite);
            }
        }
        check(sqlite3_busy_timeout(db_.get(), timeoutMs), context);
        sqlite3_progress_handler(db_.get(), 1000, &StepLimit::OnProgress, limit_.get());
        // Reading the schema proves the file is a database.
        Run("SELECT count(*) FROM sqlite_master", context);
        if (const auto mode = FindConnectionValue(pairs, "JournalMode"))
            Run("PRAGMA journal_mode=" + PragmaWord("JournalMode", *mode), context);
        if (const auto sync = FindConnectionValue(pairs, "SyncPragma"))
            Run("PRAGMA synchronous=" + PragmaWord("SyncPragma", *sync), context);
    }

    Dialect GetDialect() const override { return Dialect::SQLite; }

    std::shared_ptr<Statement> Prepare(const std::string& sql, int32_t) override {
        return std::make_shared<SqliteStatement>(db_.get(), sql, limit_, fault_);
    }

    void Transact(TransactionStep step, int32_t level, int32_t timeout) override {
        // SQLite rolls back by itself on some errors (a full disk, say).
        if (level == 1 && step == TransactionStep::Rollback && sqlite3_get_autocommit(db_.get())) return;
        for (const auto& statement : Statements(step, level)) statement->Execute({}, timeout, false);
    }

    int64_t LastInsertId(int32_t) override {
        const sqlite3_int64 id = sqlite3_last_insert_rowid(db_.get());
        if (id == 0)
            throw DbError(errnum::DatabaseError, "No row has been inserted on this connection.", kSourceSqlite);
        return id;
    }

private:
    void check(int rc, const std::string& context) const {
        if (rc != SQLITE_OK) ThrowSqlite(db_.get(), rc, context, {});
    }

    static std::vector<std::string> TransactionStatements(TransactionStep step) {
        switch (step) {
            // Immediate: the write lock is taken at the start, so a
            // transaction that reads before it writes cannot fail on a
            // snapshot another connection's commit made stale.
            case TransactionStep::Begin: return {"BEGIN IMMEDIATE"};
            case TransactionStep::Commit: return {"COMMIT"};
            case TransactionStep::Rollback: break;
        }
        return {"ROLLBACK"};
    }

    // An import begins and ends a transaction or a savepoint for every
    // record: their statements are prepared once per level and step, not
    // parsed each time.
    const std::vector<std::shared_ptr<SqliteStatement>>& Statements(TransactionStep step, int32_t level) {
        auto& statements = transactions_[{level, step}];
        if (statements.empty()) {
            for (const std::string& sql :
                 level == 1 ? TransactionStatements(step) : detail::SavepointStatements(step, level))
                statements.push_back(std::make_shared<SqliteStatement>(db_.get(), sql, limit_, fault_));
        }
        return statements;
    }

    void Run(const std::string& sql, const std::string& context) {
        try {
            SqliteStatement statement(db_.get(), sql, limit_, fault_);
            auto cursor = statement.Execute({}, 0, true);
            std::vector<Value> row;
            while (cursor->Fetch(row)) {
            }
        } catch (const DbError& e) {
            throw DbError(e.Number(), context + e.what(), e.Source(), e.Sql());
        }
    }

    // The database outlives the session while statements remain, and calls
    // the progress handler until its last statement goes; they hold the limit too.
    std::shared_ptr<StepLimit> limit_ = std::make_shared<StepLimit>();
    DatabaseHandle db_;
    std::map<std::pair<int32_t, TransactionStep>, std::vector<std::shared_ptr<SqliteStatement>>> transactions_;
};

}  // namespace

std::unique_ptr<BackendSession> OpenSqliteSession(const std::string& connectionString) {
    return std::make_unique<SqliteSession>(connectionString);
}

}  // namespace pelmar::db::detail
