#pragma once
// Command: a parameterised statement, prepared once and executed many times
// with only the values changing.
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "db/ado.h"
#include "db/parameter_rows.h"
#include "db/recordset.h"
#include "db/value.h"

namespace pelmar::db {

class Connection;
namespace detail {
class BackendSession;
class Statement;
}  // namespace detail

struct Parameter {
    std::string Name;
    DataType Type = adInteger;
    ParameterDirection Direction = adParamInput;
    int32_t Size = 0;  // in characters for text parameters; 0 for integers
    db::Value Value;
};

class Command {
public:
    Command();
    ~Command();
    Command(const Command&) = delete;
    Command& operator=(const Command&) = delete;

    db::CommandType Type = adCmdText;
    std::string CommandText;
    bool Prepared = false;
    // Seconds the statement may run; below 0 (the default) the connection's
    // CommandTimeout, so that one set in the connection string holds for
    // every command; 0 for no limit.
    int32_t CommandTimeout = -1;

    void SetActiveConnection(Connection& connection);

    Parameter CreateParameter(const std::string& name, DataType type, ParameterDirection direction, int32_t size,
                              Value value = {});
    void AppendParameter(Parameter parameter);
    const std::vector<Parameter>& Parameters() const noexcept { return parameters_; }

    // Runs the statement with `values` for the parameters in order (fewer
    // values leave the rest at the parameters' own values). With
    // adExecuteNoRecords nothing is returned (a closed Recordset); otherwise
    // the statement's rows. A text longer than its parameter's Size is an
    // error naming the parameter; so are integers that do not fit.
    Recordset Execute(const std::vector<Value>& values = {}, int32_t options = adOptionUnspecified);
    // Execute with values lent for the call: their text is bound where the
    // caller keeps it, not copied.
    Recordset ExecuteRow(std::span<const ValueView> values, int32_t options = adOptionUnspecified);

    // Checks `values` as Execute binds them, running nothing: the same error
    // for a text longer than its parameter's Size or an integer that does
    // not fit, so that rows kept to be run later fail when they are kept.
    void Validate(std::span<const ValueView> values);

    // Runs the statement once for each of `rows`, in order, returning no
    // records; on a server as few round trips as its driver allows. A row
    // that fails throws as Execute does; rows before it may have run, so a
    // caller that must have all or none runs this inside a transaction.
    void ExecuteRows(const ParameterRows& rows);

    // Runs an INSERT as ExecuteRows does and sets `keys` to the key the
    // database generated for each row in `keyColumn`, in the rows' order: on
    // a server that returns them from a multi-row insert, a round trip for
    // many rows; elsewhere the session's last key after each row.
    void ExecuteRowsForKeys(const ParameterRows& rows, const std::string& keyColumn, std::vector<int64_t>& keys);

private:
    class RowBinder;
    detail::BackendSession& UsableSession() const;
    int32_t Timeout() const;
    // Binds `values` (then the parameters' own) into impl_->bound.
    template <class V>
    void BindAll(std::span<const V> values) const;
    template <class V>
    Recordset Run(std::span<const V> values, int32_t options);
    std::shared_ptr<detail::Statement> StatementFor(detail::BackendSession& session, int32_t timeout);

    Connection* connection_ = nullptr;
    std::vector<Parameter> parameters_;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace pelmar::db
