#include "db/command.h"

#include <limits>

#include "common/text.h"
#include "db/backend.h"
#include "db/connection.h"
#include "db/db_error_source.h"

namespace pelmar::db {

// The prepared statement and what it was prepared for: a new command text or
// a reopened connection prepares again.
struct Command::Impl {
    std::shared_ptr<detail::Statement> statement;
    std::string sql;
    uint64_t session = 0;
    std::vector<detail::BoundValue> bound;  // kept, so that a run of many executions allocates once
    std::vector<Value> row;                 // likewise for ExecuteRows
};

namespace {

[[noreturn]] void ThrowParameter(int32_t number, const Parameter& parameter, const std::string& what,
                                 const std::string& sql) {
    throw DbError(number, "Parameter '" + parameter.Name + "': " + what, detail::kSourceAdo, sql);
}

void CheckValueCount(std::size_t values, std::size_t parameters, const std::string& sql) {
    if (values > parameters)
        detail::ThrowAdo(
            detail::adoerr::BadArguments,
            "More values (" + std::to_string(values) + ") than parameters (" + std::to_string(parameters) + ").", sql);
}

// Text for a text parameter, no longer than its size in characters.
void BindText(const Parameter& parameter, std::string_view text, const std::string& sql, detail::BoundValue& bound) {
    bound.text = text;
    // Characters are counted only when the bytes could be too many.
    const auto size = static_cast<std::size_t>(parameter.Size);
    if (parameter.Size <= 0 || text.size() <= size) return;
    const std::size_t length = CharCount(text);
    if (length > size)
        ThrowParameter(errnum::DatabaseError, parameter,
                       "text of " + std::to_string(length) + " characters is longer than the parameter's size of " +
                           std::to_string(parameter.Size) + " characters",
                       sql);
}

// The value as the back ends bind it: Null, a 32-bit integer, or text no
// longer than the parameter's size in characters.
void Bind(const Parameter& parameter, const ValueView& value, const std::string& sql, detail::BoundValue& bound) {
    bound.type = parameter.Type;
    bound.null = value.IsNull() || value.IsEmpty();
    if (bound.null) return;
    switch (parameter.Type) {
        case adInteger: {
            try {
                bound.integer = value.ToInt32();
            } catch (const pelmar::Error& e) {
                ThrowParameter(e.Number(), parameter, e.what(), sql);
            }
            return;
        }
        case adVarChar:
        case adVarWChar: {
            if (value.GetType() == Value::Type::Text) return BindText(parameter, value.Text(), sql, bound);
            bound.converted = value.ToText();
            return BindText(parameter, bound.converted, sql, bound);
        }
    }
    ThrowParameter(detail::adoerr::BadArguments, parameter,
                   "unsupported type " + std::to_string(static_cast<int>(parameter.Type)), sql);
}

}  // namespace

Command::Command() : impl_(std::make_unique<Impl>()) {}
Command::~Command() = default;

void Command::SetActiveConnection(Connection& connection) {
    connection_ = &connection;
    impl_->statement.reset();
}

Parameter Command::CreateParameter(const std::string& name, DataType type, ParameterDirection direction, int32_t size,
                                   Value value) {
    return Parameter{name, type, direction, size, std::move(value)};
}

void Command::AppendParameter(Parameter parameter) { parameters_.push_back(std::move(parameter)); }

// The rows of ExecuteRows, each value bound by the same rule as Execute's.
class Command::RowBinder final : public detail::BoundRows {
public:
    RowBinder(const Command& command, const ParameterRows& rows) : command_(command), rows_(rows) {}
    std::size_t Size() const override { return rows_.Size(); }
    // Text and integers bound where the rows keep them, which outlives this
    // row's binding; any other value made a Value first and bound as
    // Execute binds it.
    const std::vector<detail::BoundValue>& Bind(std::size_t r) override {
        Impl& impl = *command_.impl_;
        const std::vector<Parameter>& parameters = command_.parameters_;
        CheckValueCount(rows_.Columns(), parameters.size(), command_.CommandText);
        impl.bound.resize(parameters.size());
        impl.row.resize(parameters.size());
        for (std::size_t c = 0; c < parameters.size(); ++c) {
            const Parameter& parameter = parameters[c];
            detail::BoundValue& bound = impl.bound[c];
            bound.type = parameter.Type;
            bound.null = false;
            const Value::Type type = c < rows_.Columns() ? rows_.TypeAt(r, c) : Value::Type::Empty;
            if (type == Value::Type::Text && (parameter.Type == adVarChar || parameter.Type == adVarWChar)) {
                BindText(parameter, rows_.TextAt(r, c), command_.CommandText, bound);
            } else if (type == Value::Type::Int32 && parameter.Type == adInteger) {
                bound.integer = static_cast<int32_t>(rows_.IntegerAt(r, c));
            } else {
                impl.row[c] = c < rows_.Columns() ? rows_.ValueAt(r, c) : parameter.Value;
                db::Bind(parameter, impl.row[c], command_.CommandText, bound);
            }
        }
        return impl.bound;
    }

private:
    const Command& command_;
    const ParameterRows& rows_;
};

detail::BackendSession& Command::UsableSession() const {
    if (!connection_)
        detail::ThrowAdo(detail::adoerr::ConnectionUnusable,
                         "The connection cannot be used to perform this operation. It is either "
                         "closed or invalid in this context.",
                         CommandText);
    detail::BackendSession& session = connection_->session();
    session.CheckUsable(CommandText);
    return session;
}

int32_t Command::Timeout() const { return CommandTimeout >= 0 ? CommandTimeout : connection_->GetCommandTimeout(); }

template <class V>
void Command::BindAll(std::span<const V> values) const {
    CheckValueCount(values.size(), parameters_.size(), CommandText);
    std::vector<detail::BoundValue>& bound = impl_->bound;
    bound.resize(parameters_.size());
    std::size_t i = 0;
    for (; i < values.size(); ++i) Bind(parameters_[i], values[i], CommandText, bound[i]);
    for (; i < parameters_.size(); ++i) Bind(parameters_[i], parameters_[i].Value, CommandText, bound[i]);
}

std::shared_ptr<detail::Statement> Command::StatementFor(detail::BackendSession& session, int32_t timeout) {
    if (!Prepared) return session.Prepare(CommandText, timeout);
    if (!impl_->statement || impl_->session != session.Id() || impl_->sql != CommandText) {
        impl_->statement.reset();
        impl_->statement = session.Prepare(CommandText, timeout);
        impl_->sql = CommandText;
        impl_->session = session.Id();
    }
    return impl_->statement;
}

template <class V>
Recordset Command::Run(std::span<const V> values, int32_t options) {
    detail::BackendSession& session = UsableSession();
    const int32_t timeout = Timeout();
    BindAll(values);
    std::shared_ptr<detail::Statement> statement = StatementFor(session, timeout);
    const bool noRecords = options != adOptionUnspecified && (options & adExecuteNoRecords);
    auto cursor = statement->Execute(impl_->bound, timeout, !noRecords);
    Recordset records;
    if (noRecords) return records;
    records.Attach(detail::KeepAlive(std::move(statement), std::move(cursor)), true);
    return records;
}

Recordset Command::Execute(const std::vector<Value>& values, int32_t options) {
    return Run(std::span<const Value>(values), options);
}
Recordset Command::ExecuteRow(std::span<const ValueView> values, int32_t options) { return Run(values, options); }

void Command::Validate(std::span<const ValueView> values) { BindAll(values); }

void Command::ExecuteRows(const ParameterRows& rows) {
    if (rows.Empty()) return;
    detail::BackendSession& session = UsableSession();
    const int32_t timeout = Timeout();
    RowBinder binder(*this, rows);
    StatementFor(session, timeout)->ExecuteRows(binder, timeout);
}

void Command::ExecuteRowsForKeys(const ParameterRows& rows, const std::string& keyColumn, std::vector<int64_t>& keys) {
    keys.clear();
    if (rows.Empty()) return;
    detail::BackendSession& session = UsableSession();
    const int32_t timeout = Timeout();
    RowBinder binder(*this, rows);
    keys.reserve(rows.Size());
    StatementFor(session, timeout)->ExecuteRowsForKeys(binder, keyColumn, session, keys, timeout);
}

}  // namespace pelmar::db
