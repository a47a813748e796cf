#pragma once
// Statements and queries of a test, on a connection it opened itself.
#include <string>
#include <vector>

#include "db/command.h"
#include "db/connection.h"
#include "db/recordset.h"

namespace pelmar::test {

using Rows = std::vector<std::vector<std::string>>;

// Runs each statement in turn.
inline void ExecAll(db::Connection& connection, const std::vector<std::string>& statements) {
    for (const std::string& sql : statements) {
        db::Command command;
        command.SetActiveConnection(connection);
        command.CommandText = sql;
        command.Execute({}, db::adExecuteNoRecords);
    }
}

// The rows of a query as text, NULL read as `null`.
inline Rows SelectRows(db::Connection& connection, const std::string& sql, const std::string& null = "") {
    db::Recordset rs;
    rs.Open(sql, connection);
    Rows rows;
    for (; !rs.Eof(); rs.MoveNext()) {
        rows.emplace_back();
        for (int32_t i = 0; i < rs.FieldCount(); ++i) rows.back().push_back(db::NullToText(rs.Field(i), null));
    }
    return rows;
}

}  // namespace pelmar::test
