#include "testing/sql_rows.h"

#include "db/command.h"
#include "db/recordset.h"
#include "db/value.h"

namespace pelmar::test {

void ExecAll(db::Connection& connection, const std::vector<std::string>& statements) {
    for (const std::string& sql : statements) {
        db::Command command;
        command.SetActiveConnection(connection);
        command.CommandText = sql;
        command.Execute({}, db::adExecuteNoRecords);
    }
}

Rows SelectRows(db::Connection& connection, const std::string& sql, const std::string& null) {
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
