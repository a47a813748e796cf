// The unixODBC back end: PostgreSQL, MariaDB or any other driver. Text goes
// through the wide (UTF-16) calls so that no driver depends on the process
// locale for the statement text or the values read back.
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cctype>
#include <limits>

#include "db/backend.h"
#include "db/db_error_source.h"
#include "db/utf16.h"

namespace pelmar::db::detail {
namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "unixODBC's SQLWCHAR is UTF-16");

SQLWCHAR* Wide(std::u16string& text) { return reinterpret_cast<SQLWCHAR*>(text.data()); }

bool Succeeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

// The diagnostic records of a handle, one "message (SQLSTATE s, native error n)"
// each, joined by "; ".
std::string Diagnostics(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN rc) {
    std::string text;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLWCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLWCHAR message[2048] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN drc = SQLGetDiagRecW(type, handle, record, state, &native, message,
                                             static_cast<SQLSMALLINT>(std::size(message)), &length);
        if (!Succeeded(drc)) break;
        const auto len =
            std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(length, 0)), std::size(message) - 1);
        std::string line = FoldLines(Utf16ToUtf8({reinterpret_cast<const char16_t*>(message), len}));
        // psqlODBC converts text with the process locale (LC_CTYPE from the environment).
        if (line.find("current locale") != std::string::npos || line.find("wide char") != std::string::npos)
            line += " [the process needs a UTF-8 locale, e.g. LANG=C.UTF-8]";
        if (!text.empty()) text += "; ";
        text += line + " (SQLSTATE " + Utf16ToUtf8(reinterpret_cast<const char16_t*>(state)) + ", native error " +
                std::to_string(native) + ")";
    }
    if (text.empty()) text = "The ODBC call failed with return code " + std::to_string(rc) + ".";
    return text;
}

// An ODBC handle freed when it goes.
class Handle {
public:
    Handle() = default;
    Handle(SQLSMALLINT type, SQLHANDLE parent) : type_(type) {
        if (!Succeeded(SQLAllocHandle(type, parent, &handle_))) {
            handle_ = SQL_NULL_HANDLE;
            throw DbError(
                errnum::DatabaseError,
                parent == SQL_NULL_HANDLE
                    ? "Cannot allocate an ODBC environment."
                    : Diagnostics(type == SQL_HANDLE_STMT ? SQL_HANDLE_DBC : SQL_HANDLE_ENV, parent, SQL_ERROR),
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
    OdbcStatement(SQLHDBC dbc, const std::string& sql) : handle_(SQL_HANDLE_STMT, dbc), sql_(sql) {
        std::u16string wide = Utf8ToUtf16(sql);
        check(SQLPrepareW(handle_.get(), Wide(wide), static_cast<SQLINTEGER>(wide.size())));
    }

    std::unique_ptr<Cursor> Execute(const std::vector<BoundValue>& values) override {
        if (handle_.get() == SQL_NULL_HANDLE)
            ThrowAdo(adoerr::ConnectionUnusable, "The connection of this statement was closed.", sql_);
        ++generation_;
        SQLHSTMT h = handle_.get();
        SQLFreeStmt(h, SQL_CLOSE);  // the rows of the last run, if any; nothing to report
        check(SQLFreeStmt(h, SQL_RESET_PARAMS));
        BindParameters(values);
        const SQLRETURN rc = SQLExecute(h);
        if (rc != SQL_NO_DATA) check(rc);  // NO_DATA: an update or delete that touched no row
        DescribeColumns();
        return std::make_unique<OdbcCursor>(*this, generation_);
    }

    const std::string& Sql() const override { return sql_; }

    // Frees the handle before its connection goes; later runs fail.
    void Release() noexcept { handle_.Free(); }

    const std::vector<std::string>& Names() const { return names_; }

    bool Fetch(uint64_t generation, std::vector<Value>& row) {
        if (generation != generation_ || handle_.get() == SQL_NULL_HANDLE)
            ThrowAdo(errnum::DatabaseError,
                     "The rows were discarded when their statement ran again or its connection closed.", sql_);
        if (names_.empty()) return false;
        const SQLRETURN rc = SQLFetch(handle_.get());
        if (rc == SQL_NO_DATA) return false;
        check(rc);
        row.clear();
        for (std::size_t i = 0; i < names_.size(); ++i)
            row.push_back(ReadColumn(static_cast<SQLUSMALLINT>(i + 1), types_[i]));
        return true;
    }

private:
    // Room for one parameter's value; kept until the next run.
    struct ParameterBuffer {
        SQLINTEGER integer = 0;
        std::string narrow;
        std::u16string wide;
        SQLLEN indicator = 0;
    };

    void check(SQLRETURN rc) const {
        if (!Succeeded(rc))
            throw DbError(errnum::DatabaseError, Diagnostics(SQL_HANDLE_STMT, handle_.get(), rc), kSourceOdbc, sql_);
    }

    void BindParameters(const std::vector<BoundValue>& values) {
        buffers_.assign(values.size(), {});
        for (std::size_t i = 0; i < values.size(); ++i) {
            ParameterBuffer& b = buffers_[i];
            const Value& value = values[i].value;
            const auto number = static_cast<SQLUSMALLINT>(i + 1);
            SQLSMALLINT cType = SQL_C_SLONG, sqlType = SQL_INTEGER;
            SQLULEN columnSize = 0;
            SQLPOINTER data = &b.integer;
            SQLLEN bufferLength = 0;
            switch (values[i].type) {
                case adInteger:
                    if (!value.IsNull()) b.integer = value.ToInt32();
                    break;
                case adVarChar:
                    cType = SQL_C_CHAR;
                    sqlType = SQL_VARCHAR;
                    b.narrow = value.IsNull() ? std::string() : value.ToText();
                    data = b.narrow.data();
                    bufferLength = static_cast<SQLLEN>(b.narrow.size() + 1);
                    columnSize = std::max<SQLULEN>(b.narrow.size(), 1);
                    b.indicator = static_cast<SQLLEN>(b.narrow.size());
                    break;
                case adVarWChar:
                    cType = SQL_C_WCHAR;
                    sqlType = SQL_WVARCHAR;
                    b.wide = value.IsNull() ? std::u16string() : Utf8ToUtf16(value.ToText());
                    data = b.wide.data();
                    bufferLength = static_cast<SQLLEN>((b.wide.size() + 1) * sizeof(char16_t));
                    columnSize = std::max<SQLULEN>(b.wide.size(), 1);
                    // Null-terminated rather than a byte count: the MariaDB driver
                    // miscounts a wide value's length and stores a trailing NUL.
                    b.indicator = SQL_NTS;
                    break;
            }
            if (value.IsNull()) b.indicator = SQL_NULL_DATA;
            check(SQLBindParameter(handle_.get(), number, SQL_PARAM_INPUT, cType, sqlType, columnSize, 0, data,
                                   bufferLength, &b.indicator));
        }
    }

    void DescribeColumns() {
        names_.clear();
        types_.clear();
        SQLSMALLINT count = 0;
        check(SQLNumResultCols(handle_.get(), &count));
        for (SQLSMALLINT i = 1; i <= count; ++i) {
            SQLWCHAR name[512] = {};
            SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
            SQLULEN size = 0;
            check(SQLDescribeColW(handle_.get(), static_cast<SQLUSMALLINT>(i), name,
                                  static_cast<SQLSMALLINT>(std::size(name)), &nameLength, &type, &size, &digits,
                                  &nullable));
            const auto len = std::min<std::size_t>(static_cast<std::size_t>(std::max<SQLSMALLINT>(nameLength, 0)),
                                                   std::size(name) - 1);
            names_.push_back(Utf16ToUtf8({reinterpret_cast<const char16_t*>(name), len}));
            types_.push_back(type);
        }
    }

    Value ReadColumn(SQLUSMALLINT column, SQLSMALLINT type) {
        SQLHSTMT h = handle_.get();
        SQLLEN indicator = 0;
        switch (type) {
            case SQL_INTEGER:
            case SQL_SMALLINT:
            case SQL_TINYINT:
            case SQL_BIGINT:
            case SQL_BIT: {
                SQLBIGINT v = 0;
                check(SQLGetData(h, column, SQL_C_SBIGINT, &v, sizeof v, &indicator));
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
                check(SQLGetData(h, column, SQL_C_DOUBLE, &v, sizeof v, &indicator));
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
            check(rc);
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

    Handle handle_;
    std::string sql_;
    std::vector<ParameterBuffer> buffers_;
    std::vector<std::string> names_;
    std::vector<SQLSMALLINT> types_;
    uint64_t generation_ = 0;
};

const std::vector<std::string>& OdbcCursor::ColumnNames() const { return statement_.Names(); }
bool OdbcCursor::Fetch(std::vector<Value>& row) { return statement_.Fetch(generation_, row); }

class OdbcSession final : public Session {
public:
    explicit OdbcSession(const std::string& connectionString) : environment_(SQL_HANDLE_ENV, SQL_NULL_HANDLE) {
        check(SQL_HANDLE_ENV, environment_.get(),
              SQLSetEnvAttr(environment_.get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0));
        connection_ = std::make_unique<Handle>(SQL_HANDLE_DBC, environment_.get());
        SQLHDBC dbc = connection_->get();
        check(SQL_HANDLE_DBC, dbc, SQLSetConnectAttr(dbc, SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(15), 0));
        std::u16string wide = Utf8ToUtf16(connectionString);
        // No output connection string: drivers echo the password into it.
        check(SQL_HANDLE_DBC, dbc,
              SQLDriverConnectW(dbc, nullptr, Wide(wide), static_cast<SQLSMALLINT>(wide.size()), nullptr, 0, nullptr,
                                SQL_DRIVER_NOPROMPT));
        connected_ = true;
        check(SQL_HANDLE_DBC, dbc,
              SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0));
        dialect_ = ReadDialect();
    }

    ~OdbcSession() override {
        for (auto& weak : statements_)
            if (auto statement = weak.lock()) statement->Release();
        if (connected_) SQLDisconnect(connection_->get());
    }

    Dialect GetDialect() const override { return dialect_; }

    std::shared_ptr<Statement> Prepare(const std::string& sql) override {
        std::erase_if(statements_, [](const auto& weak) { return weak.expired(); });
        auto statement = std::make_shared<OdbcStatement>(connection_->get(), sql);
        statements_.push_back(statement);
        return statement;
    }

private:
    static void check(SQLSMALLINT type, SQLHANDLE handle, SQLRETURN rc) {
        if (!Succeeded(rc)) throw DbError(errnum::DatabaseError, Diagnostics(type, handle, rc), kSourceOdbc);
    }

    Dialect ReadDialect() const {
        SQLWCHAR name[256] = {};
        SQLSMALLINT length = 0;
        check(SQL_HANDLE_DBC, connection_->get(),
              SQLGetInfoW(connection_->get(), SQL_DBMS_NAME, name, sizeof name, &length));
        std::string dbms = Utf16ToUtf8(reinterpret_cast<const char16_t*>(name));
        std::transform(dbms.begin(), dbms.end(), dbms.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (dbms.find("postgres") != std::string::npos) return Dialect::PostgreSQL;
        if (dbms.find("mysql") != std::string::npos || dbms.find("mariadb") != std::string::npos) return Dialect::MySQL;
        if (dbms.find("sqlite") != std::string::npos) return Dialect::SQLite;
        return Dialect::Other;
    }

    Handle environment_;
    std::unique_ptr<Handle> connection_;
    bool connected_ = false;
    Dialect dialect_ = Dialect::Other;
    std::vector<std::weak_ptr<OdbcStatement>> statements_;
};

}  // namespace

std::unique_ptr<Session> OpenOdbcSession(const std::string& connectionString) {
    return std::make_unique<OdbcSession>(connectionString);
}

}  // namespace pelmar::db::detail
