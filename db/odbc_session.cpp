// The unixODBC back end: PostgreSQL, MariaDB or any other driver. Text goes
// through the wide (UTF-16) calls so that no driver depends on the process
// locale for the statement text or the values read back.
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <bit>
#include <cctype>
#include <charconv>
#include <cstdint>
#include <limits>
#include <mutex>
#include <optional>
#include <utility>

#include "db/backend.h"
#include "db/connection_string.h"
#include "db/db_error_source.h"
#include "db/odbc_arrays.h"
#include "db/odbc_call.h"
#include "db/odbc_diagnostics.h"
#include "db/utf16.h"

namespace pelmar::db::detail {
namespace {

// An array execution sends at most this many rows, or rows that take this
// many bytes of parameter arrays, in one go: memory stays bounded.
constexpr std::size_t kChunkRows = 1000;
constexpr std::size_t kChunkBytes = std::size_t{8} << 20;
// Rows whose keys are wanted go to MariaDB as multi-row INSERT ... RETURNING
// statements of at most this many parameters (psqlODBC lost sync with the
// server on statements of some thousands, so they are kept well below).
constexpr std::size_t kMultiRowParameters = 2000;
// The multi-row sizes SendMultiRow uses: the largest and the powers of two below it.
constexpr std::size_t kMultiRowsKept = 16;

// ODBC takes an integer attribute's value in its pointer argument.
SQLPOINTER IntegerAttribute(SQLULEN value) {
    return reinterpret_cast<SQLPOINTER>(value);  // NOLINT(performance-no-int-to-ptr)
}

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC's SQLWCHAR is UTF-16");

SQLWCHAR* Wide(std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }

// An ODBC handle freed when it goes.
class Handle {
public:
    Handle() = default;
    Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
        if (!Succeeded(SQLAllocHandle(type, parent, &handle_))) {
            handle_ = SQL_NULL_HANDLE;
            throw DbError(errnum::DatabaseError,
                          parent == SQL_NULL_HANDLE
                              ? "Cannot allocate an ODBC environment."
                              : ReadFailure(type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV, parent,
                                            SQL_ERROR, Dialect::Other)
                                    .text,
                          kSourceOdbc);
        }
    }
    ~Handle() { Free(); }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    void Free() noexcept {
        if (handle_ != SQL_NULL_HANDLE) SQLFreeHandle(type_, handle_);
        handle_ = SQL_NULL_HANDLE;
    }
    SQLHANDLE get() const noexcept { return handle_; }
    SQLSMALLINT type() const noexcept { return type_; }

private:
    SQLSMALLINT type_ = 0;
    SQLHANDLE handle_ = SQL_NULL_HANDLE;
};

class OdbcStatement;

class OdbcCursor final : public Cursor {
public:
    OdbcCursor(OdbcStatement& statement, uint64_t generation) : statement_(statement), generation_(generation) {}
    const std::vector<std::string>& ColumnNames() const override;
    bool Fetch(std::vector<Value>& row) override;

private:
    OdbcStatement& statement_;
    uint64_t generation_;
};

class OdbcStatement final : public Statement {
public:
    OdbcStatement(Link& link, const std::string& sql, int32_t timeout)
            : link_(&link), handle_(SQL_HANDLE_STMT, link.dbc), sql_(sql) {
        std::u16string wide = Utf8ToUtf16(sql);
        Call call(link, timeout, sql_);
        check(call, SQLPrepareW(handle_.get(), Wide(wide), static_cast<SQLINTEGER>(wide.size())));
    }

    std::unique_ptr<Cursor> Execute(const std::vector<BoundValue>& values, int32_t timeout, bool rows) override {
        if (handle_.get() == SQL_NULL_HANDLE)
            ThrowAdo(adoerr::ConnectionUnusable, "The connection of this statement was closed.", sql_);
        ++generation_;
        timeout_ = timeout;
        SQLHSTMT h = handle_.get();
        Call call(*link_, timeout, sql_);
        LimitTime(call);
        SQLFreeStmt(h, SQL_CLOSE);  // the rows of the last run, if any; nothing to report
        BindParameters(call, values);
        const SQLRETURN rc = SQLExecute(h);
        if (rc != SQL_NO_DATA) check(call, rc);  // NO_DATA: an update or delete that touched no row
        names_.clear();
        types_.clear();
        if (!rows) return nullptr;
        DescribeColumns(call);
        return std::make_unique<OdbcCursor>(*this, generation_);
    }

    void ExecuteRows(BoundRows& rows, int32_t timeout) override {
        StartRows(timeout);
        // On PostgreSQL an INSERT's rows go as arrays (UnnestInsert).
        if (link_->dialect == Dialect::PostgreSQL && Unnestable(rows)) return SendUnnest(rows, nullptr, nullptr);
        InChunks(rows, arrays_, [&] {
            arrays_.Lay();
            RunArray();
        });
    }

    // A server that returns generated keys gets the rows as INSERTs ending
    // in RETURNING (of arrays on PostgreSQL, of VALUES lists on MariaDB),
    // and gives the keys in the order of the rows, as both insert them.
    void ExecuteRowsForKeys(BoundRows& rows, const std::string& keyColumn, BackendSession& session,
                            std::vector<int64_t>& keys, int32_t timeout) override {
        StartRows(timeout);
        if (link_->dialect == Dialect::PostgreSQL && Unnestable(rows)) return SendUnnest(rows, &keyColumn, &keys);
        if (!link_->insertReturning || !MultiRowLimit())
            return Statement::ExecuteRowsForKeys(rows, keyColumn, session, keys, timeout);
        SendMultiRow(rows, &keyColumn, &keys);
    }

    const std::string& Sql() const override { return sql_; }

    // Frees the handles before their connection goes; later runs fail.
    void Release() noexcept {
        multiRows_.clear();
        handle_.Free();
        link_ = nullptr;
    }

    const std::vector<std::string>& Names() const { return names_; }

    bool Fetch(uint64_t generation, std::vector<Value>& row) {
        if (generation != generation_ || handle_.get() == SQL_NULL_HANDLE)
            ThrowAdo(errnum::DatabaseError,
                     "The rows were discarded when their statement ran again or its connection closed.", sql_);
        if (names_.empty()) return false;
        Call call(*link_, timeout_, sql_);
        const SQLRETURN rc = SQLFetch(handle_.get());
        if (rc == SQL_NO_DATA) return false;
        check(call, rc);
        row.clear();
        for (std::size_t i = 0; i < names_.size(); ++i)
            row.push_back(ReadColumn(call, static_cast<SQLUSMALLINT>(i + 1), types_[i]));
        return true;
    }

private:
    // How a parameter is bound: what SQLBindParameter was given.
    struct Binding {
        SQLSMALLINT cType = 0;
        SQLSMALLINT sqlType = 0;
        SQLULEN columnSize = 0;
        SQLPOINTER data = nullptr;  // null: not bound
        SQLLEN bufferLength = 0;
        bool operator==(const Binding&) const = default;
    };

    // Room for one parameter's value; kept until the next run.
    struct ParameterBuffer {
        SQLINTEGER integer = 0;
        std::string narrow;
        std::u16string wide;
        SQLLEN indicator = 0;
        Binding bound;
    };

    void check(Call& call, SQLRETURN rc) const { call.check(SQL_HANDLE_STMT, handle_.get(), rc); }

    // A multi-row form of this INSERT for a number of rows, or its form of
    // arrays for any number (rows 0), prepared once.
    struct MultiRow {
        MultiRow(std::size_t rowCount, bool keys, SQLHDBC dbc)
                : rows(rowCount), returning(keys), handle(SQL_HANDLE_STMT, dbc) {}
        std::size_t rows;
        bool returning;  // ends in RETURNING the key column
        Handle handle;
        int32_t queryTimeout = 0;
    };

    void StartRows(int32_t timeout) {
        if (handle_.get() == SQL_NULL_HANDLE)
            ThrowAdo(adoerr::ConnectionUnusable, "The connection of this statement was closed.", sql_);
        ++generation_;
        timeout_ = timeout;
        names_.clear();
    }

    // The rows of one multi-row form of this statement; 0 when it has none
    // (it is no INSERT whose one VALUES group holds only markers).
    std::size_t MultiRowLimit() {
        if (!multiRowLimit_) {
            const auto columns = static_cast<std::size_t>(std::count(sql_.begin(), sql_.end(), '?'));
            const std::size_t rows = columns ? kMultiRowParameters / columns : 0;
            multiRowLimit_ = rows > 1 && MultiRowInsert(sql_, 1) ? rows : 0;
        }
        return *multiRowLimit_;
    }

    // Whether this is an INSERT that UnnestInsert can take; `rows` (not
    // empty) tell its parameters' types.
    bool Unnestable(BoundRows& rows) {
        if (!unnestTried_) {
            unnestTried_ = true;
            std::vector<DataType> types;
            for (const BoundValue& value : rows.Bind(0)) types.push_back(value.type);
            unnestSql_ = UnnestInsert(sql_, types);
        }
        return unnestSql_.has_value();
    }

    // The multi-row form for `rows` rows (0: the form of arrays), returning
    // `keyColumn` when one is named; the smallest kept is dropped when there
    // are too many.
    MultiRow& MultiRowFor(std::size_t rows, const std::string* keyColumn) {
        const bool returning = keyColumn != nullptr;
        for (const auto& m : multiRows_)
            if (m->rows == rows && m->returning == returning) return *m;
        std::string text = rows == 0 ? unnestSql_.value_or(sql_) : MultiRowInsert(sql_, rows).value_or(sql_);
        if (returning) text += " RETURNING " + *keyColumn;
        auto made = std::make_unique<MultiRow>(rows, returning, link_->dbc);
        std::u16string wide = Utf8ToUtf16(text);
        Call call(*link_, timeout_, sql_);
        call.check(SQL_HANDLE_STMT, made->handle.get(),
                   SQLPrepareW(made->handle.get(), Wide(wide), static_cast<SQLINTEGER>(wide.size())));
        if (multiRows_.size() >= kMultiRowsKept) {
            const auto size = [](const auto& m) { return m->rows ? m->rows : SIZE_MAX; };
            multiRows_.erase(std::min_element(multiRows_.begin(), multiRows_.end(),
                                              [&](const auto& a, const auto& b) { return size(a) < size(b); }));
        }
        multiRows_.push_back(std::move(made));
        return *multiRows_.back();
    }

    // The chunk as one execution of a parameter array.
    void RunArray() {
        SQLHSTMT h = handle_.get();
        Call call(*link_, timeout_, sql_);
        LimitTime(call);
        SQLFreeStmt(h, SQL_CLOSE);
        check(call, SQLFreeStmt(h, SQL_RESET_PARAMS));
        buffers_.clear();  // Execute binds its own again
        for (std::size_t c = 0; c < arrays_.Columns(); ++c) {
            const ParameterArrays::Column a = arrays_.At(c, 0);
            check(call, SQLBindParameter(h, static_cast<SQLUSMALLINT>(c + 1), SQL_PARAM_INPUT, a.cType, a.sqlType,
                                         a.columnSize, 0, a.data, a.width, a.indicators));
        }
        statuses_.assign(arrays_.Rows(), SQL_PARAM_UNUSED);
        SQLULEN processed = 0;
        // Back to one row afterwards, however this ends, for Execute.
        struct SingleRowAgain {
            SQLHSTMT h;
            ~SingleRowAgain() {
                SQLSetStmtAttr(h, SQL_ATTR_PARAMSET_SIZE, IntegerAttribute(1), 0);
                SQLSetStmtAttr(h, SQL_ATTR_PARAM_STATUS_PTR, nullptr, 0);
                SQLSetStmtAttr(h, SQL_ATTR_PARAMS_PROCESSED_PTR, nullptr, 0);
            }
        } again{h};
        check(call, SQLSetStmtAttr(h, SQL_ATTR_PARAM_BIND_TYPE, IntegerAttribute(SQL_PARAM_BIND_BY_COLUMN), 0));
        check(call, SQLSetStmtAttr(h, SQL_ATTR_PARAMSET_SIZE, IntegerAttribute(arrays_.Rows()), 0));
        check(call, SQLSetStmtAttr(h, SQL_ATTR_PARAM_STATUS_PTR, statuses_.data(), 0));
        check(call, SQLSetStmtAttr(h, SQL_ATTR_PARAMS_PROCESSED_PTR, &processed, 0));
        const SQLRETURN rc = SQLExecute(h);
        if (rc != SQL_NO_DATA) check(call, rc);
        // A driver may report a failed row as a success with information.
        if (std::find(statuses_.begin(), statuses_.end(), SQL_PARAM_ERROR) != statuses_.end()) check(call, SQL_ERROR);
        SQLFreeStmt(h, SQL_CLOSE);
    }

    // The rows as multi-row INSERTs: of the most rows one takes while that
    // many are left, then of the powers of two that make up the rest, so
    // that a few prepared sizes serve every count.
    void SendMultiRow(BoundRows& rows, const std::string* keyColumn, std::vector<int64_t>* keys) {
        const std::size_t limit = MultiRowLimit();
        for (std::size_t next = 0; next < rows.Size();) {
            const std::size_t left = rows.Size() - next;
            const std::size_t piece = left >= limit ? limit : std::bit_floor(left);
            arrays_.Clear();
            for (std::size_t r = 0; r < piece; ++r) arrays_.Add(rows.Bind(next++));
            arrays_.Lay();
            RunMultiRow(MultiRowFor(piece, keyColumn), keys);
        }
    }

    // The rows as INSERTs of arrays, a chunk of rows at a time.
    void SendUnnest(BoundRows& rows, const std::string* keyColumn, std::vector<int64_t>* keys) {
        InChunks(rows, literals_, [&] { RunMultiRow(MultiRowFor(0, keyColumn), keys); });
    }

    // Fills `chunk` with the next rows, up to kChunkRows of them or
    // kChunkBytes, and sends it, until every row went.
    template <typename Chunk, typename Send>
    static void InChunks(BoundRows& rows, Chunk& chunk, Send&& send) {
        for (std::size_t next = 0; next < rows.Size();) {
            chunk.Clear();
            do {
                chunk.Add(rows.Bind(next++));
            } while (next < rows.Size() && chunk.Rows() < kChunkRows && chunk.Bytes() < kChunkBytes);
            send();
        }
    }

    // The laid-out rows as one execution of a multi-row INSERT of as many
    // rows; with `keys`, the keys it returns appended to them. A statement
    // whose execution failed is prepared again for its next one: the MariaDB
    // driver never hears the server's answer to an INSERT ... RETURNING run
    // again after it failed.
    void RunMultiRow(MultiRow& m, std::vector<int64_t>* keys) {
        try {
            if (m.rows == 0)
                RunUnnest(m.handle.get(), m.queryTimeout, keys);
            else
                RunMultiRow(m.handle.get(), m.queryTimeout, m.rows, keys);
        } catch (...) {
            std::erase_if(multiRows_, [&](const auto& kept) { return kept.get() == &m; });
            throw;
        }
    }

    void RunMultiRow(SQLHSTMT h, int32_t& queryTimeout, std::size_t rows, std::vector<int64_t>* keys) {
        Call call(*link_, timeout_, sql_);
        LimitTime(call, h, queryTimeout);
        SQLFreeStmt(h, SQL_CLOSE);
        call.check(SQL_HANDLE_STMT, h, SQLFreeStmt(h, SQL_RESET_PARAMS));
        // The last parameter first: psqlODBC grows its bindings to the
        // number bound, and in order that is a reallocation per parameter.
        const std::size_t columns = arrays_.Columns();
        for (std::size_t n = arrays_.Rows() * columns; n-- > 0;) {
            const ParameterArrays::Column a = arrays_.At(n % columns, n / columns);
            call.check(SQL_HANDLE_STMT, h,
                       SQLBindParameter(h, static_cast<SQLUSMALLINT>(n + 1), SQL_PARAM_INPUT, a.cType, a.sqlType,
                                        a.columnSize, 0, a.data, a.width, a.indicators));
        }
        const SQLRETURN rc = SQLExecute(h);
        if (rc != SQL_NO_DATA) call.check(SQL_HANDLE_STMT, h, rc);
        if (keys) FetchKeys(call, h, rows, *keys);
        SQLFreeStmt(h, SQL_CLOSE);
    }

    // The arrays of literals_ bound as text, one parameter a column.
    void RunUnnest(SQLHSTMT h, int32_t& queryTimeout, std::vector<int64_t>* keys) {
        Call call(*link_, timeout_, sql_);
        LimitTime(call, h, queryTimeout);
        SQLFreeStmt(h, SQL_CLOSE);
        call.check(SQL_HANDLE_STMT, h, SQLFreeStmt(h, SQL_RESET_PARAMS));
        const std::size_t columns = literals_.Columns();
        wideLiterals_.resize(columns);
        literalLengths_.resize(columns);
        for (std::size_t c = columns; c-- > 0;) {
            std::u16string& text = wideLiterals_[c];
            text = Utf8ToUtf16(literals_.Literal(c));
            literalLengths_[c] = static_cast<SQLLEN>(text.size() * sizeof(char16_t));
            call.check(
                SQL_HANDLE_STMT, h,
                SQLBindParameter(h, static_cast<SQLUSMALLINT>(c + 1), SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WLONGVARCHAR,
                                 text.size(), 0, text.data(), literalLengths_[c], &literalLengths_[c]));
        }
        const SQLRETURN rc = SQLExecute(h);
        if (rc != SQL_NO_DATA) call.check(SQL_HANDLE_STMT, h, rc);
        if (keys) FetchKeys(call, h, literals_.Rows(), *keys);
        SQLFreeStmt(h, SQL_CLOSE);
    }

    void FetchKeys(Call& call, SQLHSTMT h, std::size_t rows, std::vector<int64_t>& keys) {
        const std::size_t before = keys.size();
        for (SQLRETURN rc = SQLFetch(h); rc != SQL_NO_DATA; rc = SQLFetch(h)) {
            call.check(SQL_HANDLE_STMT, h, rc);
            SQLBIGINT key = 0;
            SQLLEN indicator = 0;
            call.check(SQL_HANDLE_STMT, h, SQLGetData(h, 1, SQL_C_SBIGINT, &key, sizeof key, &indicator));
            keys.push_back(key);
        }
        if (keys.size() - before != rows)
            throw DbError(errnum::DatabaseError,
                          "The insert returned " + std::to_string(keys.size() - before) + " keys for " +
                              std::to_string(rows) + " rows.",
                          kSourceOdbc, sql_);
    }

    // Asks the server to end a statement that runs past `timeout_` itself,
    // which leaves the connection usable. psqlODBC does it for
    // SQL_ATTR_QUERY_TIMEOUT (it sets statement_timeout, only when the value
    // changes); the MariaDB driver ignores that attribute (01S02), so there
    // the session's max_statement_time is set, also only when it changes.
    void LimitTime(Call& call) { LimitTime(call, handle_.get(), queryTimeout_); }
    void LimitTime(Call& call, SQLHSTMT h, int32_t& queryTimeout) {
        if (link_->limitBySession) {
            if (link_->sessionLimit == timeout_) return;
            Handle statement(SQL_HANDLE_STMT, link_->dbc);
            std::u16string set = Utf8ToUtf16("SET SESSION max_statement_time=" + std::to_string(timeout_));
            call.check(SQL_HANDLE_STMT, statement.get(),
                       SQLExecDirectW(statement.get(), Wide(set), static_cast<SQLINTEGER>(set.size())));
            link_->sessionLimit = timeout_;
        } else if (queryTimeout != timeout_) {
            // A driver without it leaves the watchdog to end the call.
            SQLSetStmtAttr(h, SQL_ATTR_QUERY_TIMEOUT, IntegerAttribute(timeout_), 0);
            queryTimeout = timeout_;
        }
    }

    // The driver reads the bound buffers at each execution, so a binding that
    // did not change stays as it is. After a reset psqlODBC grows its
    // bindings to the number bound: the last parameter goes first, so that
    // it grows once rather than once per parameter.
    void BindParameters(Call& call, const std::vector<BoundValue>& values) {
        if (values.size() != buffers_.size() || buffers_.empty()) {
            check(call, SQLFreeStmt(handle_.get(), SQL_RESET_PARAMS));
            buffers_.assign(values.size(), {});
        }
        for (std::size_t i = values.size(); i-- > 0;) {
            ParameterBuffer& b = buffers_[i];
            const BoundValue& value = values[i];
            Binding binding{SQL_C_SLONG, SQL_INTEGER, 0, &b.integer, 0};
            switch (value.type) {
                case adInteger:
                    b.integer = value.null ? 0 : value.integer;
                    b.indicator = 0;
                    break;
                case adVarChar:
                    b.narrow.assign(value.null ? std::string_view() : value.text);
                    binding = {SQL_C_CHAR, SQL_VARCHAR, std::max<SQLULEN>(b.narrow.size(), 1), b.narrow.data(),
                               static_cast<SQLLEN>(b.narrow.size() + 1)};
                    b.indicator = static_cast<SQLLEN>(b.narrow.size());
                    break;
                case adVarWChar:
                    b.wide = value.null ? std::u16string() : Utf8ToUtf16(value.text);
                    binding = {SQL_C_WCHAR, SQL_WVARCHAR, std::max<SQLULEN>(b.wide.size(), 1), b.wide.data(),
                               static_cast<SQLLEN>((b.wide.size() + 1) * sizeof(char16_t))};
                    // Null-terminated rather than a byte count: the MariaDB driver
                    // miscounts a wide value's length and stores a trailing NUL.
                    b.indicator = SQL_NTS;
                    break;
            }
            if (value.null) b.indicator = SQL_NULL_DATA;
            if (binding == b.bound) continue;
            check(call, SQLBindParameter(handle_.get(), static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT,
                                         binding.cType, binding.sqlType, binding.columnSize, 0, binding.data,
                                         binding.bufferLength, &b.indicator));
            b.bound = binding;
        }
    }

    void DescribeColumns(Call& call) {
        SQLSMALLINT count = 0;
        check(call, SQLNumResultCols(handle_.get(), &count));
        for (SQLSMALLINT i = 1; i <= count; ++i) {
            SQLWCHAR name[512] = {};
            SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            check(call, SQLDescribeColW(handle_.get(), static_cast<SQLUSMALLINT>(i), name,
                                        static_cast<SQLSMALLINT>(std::size(name)), &nameLength, &type, &size, &digits,
                                        &nullable));
            const auto len = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0)),
                                                   std::size(name) - 1);
            names_.push_back(Utf16ToUtf8({reinterpret_cast<const char16_t*>(name), len}));
            types_.push_back(type);
        }
    }

    Value ReadColumn(Call& call, SQLUSMALLINT column, SQLSMALLINT type) {
        SQLHSTMT h = handle_.get();
        SQLLEN indicator = 0;
        switch (type) {
            case SQL_INTEGER:
            case SQL_SMALLINT:
            case SQL_TINYINT:
            case SQL_BIGINT:
            case SQL_BIT: {
                SQLBIGINT v = 0;
                check(call, SQLGetData(h, column, SQL_C_SBIGINT, &v, sizeof v, &indicator));
                if (indicator == SQL_NULL_DATA) return Null{};
                if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
                    return static_cast<int32_t>(v);
                return static_cast<int64_t>(v);
            }
            case SQL_REAL:
            case SQL_FLOAT:
            case SQL_DOUBLE:
            case SQL_DECIMAL:
            case SQL_NUMERIC: {
                double v = 0;
                check(call, SQLGetData(h, column, SQL_C_DOUBLE, &v, sizeof v, &indicator));
                if (indicator == SQL_NULL_DATA) return Null{};
                return v;
            }
            default: break;
        }
        // Everything else as wide text, in pieces when long.
        std::u16string text;
        char16_t buffer[2048];
        for (;;) {
            const SQLRETURN rc = SQLGetData(h, column, SQL_C_WCHAR, buffer, sizeof buffer, &indicator);
            if (rc == SQL_NO_DATA) break;
            check(call, rc);
            if (indicator == SQL_NULL_DATA) return Null{};
            // The driver terminates what it wrote; its length indicator is not
            // trusted (the MariaDB driver reports non-ASCII text one character short).
            const std::size_t room = std::size(buffer) - 1;
            const bool partial =
                rc == SQL_SUCCESS_WITH_INFO &&
                (indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) / sizeof(char16_t) > room);
            text.append(buffer, partial ? room : std::char_traits<char16_t>::length(buffer));
            if (!partial) break;
        }
        return Utf16ToUtf8(text);
    }

    Link* link_;  // null once released
    Handle handle_;
    std::string sql_;
    std::vector<ParameterBuffer> buffers_;
    ParameterArrays arrays_;
    std::vector<SQLUSMALLINT> statuses_;
    std::optional<std::size_t> multiRowLimit_;
    bool unnestTried_ = false;
    std::optional<std::string> unnestSql_;
    ArrayLiterals literals_;
    std::vector<std::u16string> wideLiterals_;
    std::vector<SQLLEN> literalLengths_;
    std::vector<std::unique_ptr<MultiRow>> multiRows_;
    std::vector<std::string> names_;
    std::vector<SQLSMALLINT> types_;
    uint64_t generation_ = 0;
    int32_t timeout_ = 0;       // of the last execution, for its fetches
    int32_t queryTimeout_ = 0;  // SQL_ATTR_QUERY_TIMEOUT as set (drivers start at 0)
};

const std::vector<std::string>& OdbcCursor::ColumnNames() const { return statement_.Names(); }
bool OdbcCursor::Fetch(std::vector<Value>& row) { return statement_.Fetch(generation_, row); }

// Disconnects when the session goes, and when opening fails after the
// driver connected. Bounded like a call: the driver's goodbye can wait on a
// server that stopped reading.
struct Disconnector {
    Link& link;
    SQLHDBC dbc = SQL_NULL_HANDLE;
    ~Disconnector() {
        if (dbc == SQL_NULL_HANDLE) return;
        link.watchdog.Arm(kWatchdogGrace);
        SQLDisconnect(dbc);
        link.watchdog.Disarm();
    }
};

class OdbcSession final : public BackendSession {
public:
    OdbcSession(const std::string& connectionString, int32_t connectTimeout)
            : link_(fault_), environment_(SQL_HANDLE_ENV, SQL_NULL_HANDLE) {
        check(SQL_HANDLE_ENV, environment_.get(),
              SQLSetEnvAttr(environment_.get(), SQL_ATTR_ODBC_VERSION, IntegerAttribute(SQL_OV_ODBC3), 0));
        connection_ = std::make_unique<Handle>(SQL_HANDLE_DBC, environment_.get());
        SQLHDBC dbc = link_.dbc = connection_->get();
        check(SQL_HANDLE_DBC, dbc, SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT, IntegerAttribute(connectTimeout), 0));
        Connect(connectionString, connectTimeout);
        check(SQL_HANDLE_DBC, dbc, SetAutocommit(true));
        ReadDialect();
    }

    ~OdbcSession() override {
        for (auto& weak : statements_)
            if (auto statement = weak.lock()) statement->Release();
    }

    Dialect GetDialect() const override { return link_.dialect; }

    std::shared_ptr<Statement> Prepare(const std::string& sql, int32_t timeout) override {
        std::erase_if(statements_, [](const auto& weak) { return weak.expired(); });
        auto statement = std::make_shared<OdbcStatement>(link_, sql, timeout);
        statements_.push_back(statement);
        return statement;
    }

    // Level 1 is the driver's manual-commit mode: autocommit off begins it,
    // SQLEndTran ends it and autocommit goes back on; a commit that fails
    // leaves autocommit off, so that a rollback can still end it. Deeper
    // levels are savepoints, run directly rather than prepared: a driver
    // that keeps savepoints of its own (psqlODBC, when not told otherwise:
    // WithoutDriverRollback) follows a RELEASE or ROLLBACK TO that names an
    // enclosing savepoint only on that path.
    void Transact(TransactionStep step, int32_t level, int32_t timeout) override {
        SQLHDBC dbc = link_.dbc;
        if (level > 1) {
            for (const std::string& sql : SavepointStatements(step, level)) {
                Call call(link_, timeout, sql);
                Handle statement(SQL_HANDLE_STMT, dbc);
                std::u16string wide = Utf8ToUtf16(sql);
                call.check(SQL_HANDLE_STMT, statement.get(),
                           SQLExecDirectW(statement.get(), Wide(wide), static_cast<SQLINTEGER>(wide.size())));
            }
            return;
        }
        Call call(link_, timeout, noSql_);
        if (step == TransactionStep::Begin) {
            call.check(SQL_HANDLE_DBC, dbc, SetAutocommit(false));
            return;
        }
        call.check(SQL_HANDLE_DBC, dbc,
                   SQLEndTran(SQL_HANDLE_DBC, dbc, step == TransactionStep::Commit ? SQL_COMMIT : SQL_ROLLBACK));
        call.check(SQL_HANDLE_DBC, dbc, SetAutocommit(true));
    }

    // The server keeps the last generated key per session, so another
    // session's inserts cannot change it.
    int64_t LastInsertId(int32_t timeout) override {
        if (!lastInsertId_) {
            const char* sql = link_.dialect == Dialect::PostgreSQL ? "SELECT lastval()"
                              : link_.dialect == Dialect::MySQL    ? "SELECT LAST_INSERT_ID()"
                                                                   : nullptr;
            if (!sql) ThrowAdo(adoerr::NotSupported, "This database has no known way to tell the last generated key.");
            lastInsertId_ = Prepare(sql, timeout);
        }
        auto cursor = lastInsertId_->Execute({}, timeout, true);
        std::vector<Value> row;
        const std::string text = cursor->Fetch(row) ? row.front().ToText() : std::string();
        while (cursor->Fetch(row)) {
        }
        int64_t id = 0;
        std::from_chars(text.data(), text.data() + text.size(), id);
        if (id == 0)
            throw DbError(errnum::DatabaseError, "No row has been inserted on this connection.", kSourceOdbc,
                          lastInsertId_->Sql());
        return id;
    }

private:
    static void check(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN rc) {
        if (!Succeeded(rc))
            throw DbError(errnum::DatabaseError, ReadFailure(type, handle, rc, Dialect::Other).text, kSourceOdbc);
    }

    SQLRETURN SetAutocommit(bool on) {
        return SQLSetConnectAttr(link_.dbc, SQL_ATTR_AUTOCOMMIT,
                                 IntegerAttribute(on ? SQL_AUTOCOMMIT_ON : SQL_AUTOCOMMIT_OFF), 0);
    }

    // psqlODBC rolls the whole transaction back when a statement in it fails,
    // unless it took a savepoint of its own just before, which it stops doing
    // once the caller's savepoints have come and gone. Here the caller's
    // savepoints undo a failed statement, so the driver is told to do nothing
    // ("Protocol=7.4-0"), unless the string says otherwise.
    static std::string WithoutDriverRollback(const std::string& connectionString, const ConnectionStringPairs& pairs,
                                             const std::optional<std::string>& driver) {
        std::string name = driver.value_or("");
        std::transform(name.begin(), name.end(), name.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (name.find("postgres") == std::string::npos || FindConnectionValue(pairs, "Protocol"))
            return connectionString;
        std::string text = connectionString;
        if (!text.empty() && text.back() != ';') text += ';';
        return text + "Protocol=7.4-0;";
    }

    // The watchdog must know the connection's sockets, which are those that
    // appear while the driver connects; so connects in this process take turns.
    void Connect(const std::string& connectionString, int32_t timeout) {
        // unixODBC hands an empty driver name to libltdl, whose assertion
        // ends the whole process; refuse it here as the connection's error.
        const ConnectionStringPairs pairs = ParseConnectionString(connectionString);
        const auto driver = FindConnectionValue(pairs, "Driver");
        if (driver && driver->find_first_not_of(" \t") == std::string::npos)
            throw DbError(errnum::DatabaseError, "The connection string names no driver: Driver is empty.",
                          kSourceOdbc);
        static std::mutex connecting;
        const std::lock_guard lock(connecting);
        ServerAddress server = ServerAddress::Of(connectionString);
        const std::vector<SocketId> before = OpenSockets();
        link_.watchdog.WatchServer(server);
        link_.watchdog.WatchSocketsOpenedSince(before);
        std::u16string wide = Utf8ToUtf16(WithoutDriverRollback(connectionString, pairs, driver));
        {
            Call call(link_, timeout, noSql_, "connection");
            // No output connection string: drivers echo the password into it.
            call.check(SQL_HANDLE_DBC, link_.dbc,
                       SQLDriverConnectW(link_.dbc, nullptr, Wide(wide), static_cast<SQLSMALLINT>(wide.size()), nullptr,
                                         0, nullptr, SQL_DRIVER_NOPROMPT));
            disconnector_.dbc = link_.dbc;
        }
        std::vector<SocketId> own = OpenSockets();
        std::erase_if(own, [&](const SocketId& s) {
            return std::find(before.begin(), before.end(), s) != before.end() || !server.IsPeerOf(s.fd);
        });
        link_.watchdog.WatchSockets(std::move(own));
    }

    void ReadDialect() {
        SQLWCHAR name[256] = {};
        SQLSMALLINT length = 0;
        check(SQL_HANDLE_DBC, link_.dbc, SQLGetInfoW(link_.dbc, SQL_DBMS_NAME, name, sizeof name, &length));
        std::string dbms = Utf16ToUtf8(reinterpret_cast<const char16_t*>(name));
        std::transform(dbms.begin(), dbms.end(), dbms.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        const bool mariadb = dbms.find("mariadb") != std::string::npos;
        link_.limitBySession = mariadb;
        link_.insertReturning = mariadb && ServerVersion() >= std::pair(10, 5);
        if (dbms.find("postgres") != std::string::npos) {
            link_.dialect = Dialect::PostgreSQL;
            link_.insertReturning = true;
        } else if (dbms.find("mysql") != std::string::npos || mariadb)
            link_.dialect = Dialect::MySQL;
        else if (dbms.find("sqlite") != std::string::npos)
            link_.dialect = Dialect::SQLite;
    }

    // The server's major and minor version ("10.11.6-MariaDB...").
    std::pair<int, int> ServerVersion() {
        SQLWCHAR text[256] = {};
        SQLSMALLINT length = 0;
        check(SQL_HANDLE_DBC, link_.dbc, SQLGetInfoW(link_.dbc, SQL_DBMS_VER, text, sizeof text, &length));
        const std::string version = Utf16ToUtf8(reinterpret_cast<const char16_t*>(text));
        std::pair<int, int> parsed{0, 0};
        const char* end = version.data() + version.size();
        const auto major = std::from_chars(version.data(), end, parsed.first);
        if (major.ec == std::errc() && major.ptr != end && *major.ptr == '.')
            std::from_chars(major.ptr + 1, end, parsed.second);
        return parsed;
    }

    // Declared first so that it goes last: the watchdog outlives the disconnect.
    Link link_;
    Handle environment_;
    std::unique_ptr<Handle> connection_;
    Disconnector disconnector_{link_};
    const std::string noSql_;
    std::vector<std::weak_ptr<OdbcStatement>> statements_;
    std::shared_ptr<Statement> lastInsertId_;
};

}  // namespace

std::unique_ptr<BackendSession> OpenOdbcSession(const std::string& connectionString, int32_t connectTimeout) {
    return std::make_unique<OdbcSession>(connectionString, connectTimeout);
}

}  // namespace pelmar::db::detail
