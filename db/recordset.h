#pragma once
// Recordset: the rows of a query, with ADO's cursor model.
// A client-side cursor (adUseClient) or a static/keyset/dynamic cursor type
// reads every row when it opens, so RecordCount is known; a server-side
// forward-only cursor streams rows and reports RecordCount -1.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "db/ado.h"
#include "db/value.h"

namespace pelmar::db {

class Connection;

namespace detail {
class Cursor;  // the back end's open statement
}

class Recordset {
public:
    Recordset();
    ~Recordset();
    Recordset(Recordset&&) noexcept;
    Recordset& operator=(Recordset&&) noexcept;

    void SetCursorLocation(CursorLocation location) { cursorLocation_ = location; }
    CursorLocation GetCursorLocation() const noexcept { return cursorLocation_; }

    void Open(const std::string& source, Connection& connection, CursorType cursorType = adOpenForwardOnly,
              LockType lockType = adLockReadOnly, int32_t options = -1);
    void Close();
    ObjectState State() const noexcept;

    bool Eof() const;
    bool Bof() const;
    int32_t RecordCount() const;  // -1 when not known
    void MoveFirst();
    void MoveNext();

    int32_t FieldCount() const;
    std::string FieldName(int32_t index) const;
    // Fields of the current row by 0-based position or by name (any case).
    const Value& Field(int32_t index) const;
    const Value& Field(std::string_view name) const;

    // For Command::Execute: takes over an executed statement's rows.
    void Attach(std::unique_ptr<detail::Cursor> cursor, bool readAll);

private:
    CursorLocation cursorLocation_ = adUseServer;
    // implementation state
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace pelmar::db
