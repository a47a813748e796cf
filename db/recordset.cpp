#include "db/recordset.h"

#include <algorithm>
#include <cctype>

#include "common/text.h"
#include "db/backend.h"
#include "db/connection.h"
#include "db/db_error_source.h"
#include "db/row_buffer.h"

namespace pelmar::db {

// Buffered (all rows read at open into `rows`) or streaming (one row at a
// time from the cursor); `current` is the row index in both, `row` the
// current row's values.
struct Recordset::Impl {
    std::unique_ptr<detail::Cursor> cursor;
    std::vector<std::string> names;
    detail::RowBuffer rows;
    std::vector<Value> row;
    bool buffered = true;
    bool empty = false;
    std::size_t current = 0;
    bool eof = false;
};

namespace {

[[noreturn]] void ThrowClosed() {
    detail::ThrowAdo(detail::adoerr::ObjectClosed, "Operation is not allowed when the object is closed.");
}

[[noreturn]] void ThrowNoCurrentRecord() {
    detail::ThrowAdo(detail::adoerr::NoCurrentRecord,
                     "Either BOF or EOF is True, or the current record has been deleted. "
                     "Requested operation requires a current record.");
}

}  // namespace

Recordset::Recordset() = default;
Recordset::~Recordset() = default;
Recordset::Recordset(Recordset&&) noexcept = default;
Recordset& Recordset::operator=(Recordset&&) noexcept = default;

void Recordset::Open(const std::string& source, Connection& connection, CursorType cursorType, LockType, int32_t) {
    if (impl_) detail::ThrowAdo(detail::adoerr::ObjectOpen, "Operation is not allowed when the object is open.");
    detail::BackendSession& session = connection.session();
    session.CheckUsable(source);
    const int32_t timeout = connection.GetCommandTimeout();
    auto statement = session.Prepare(source, timeout);
    auto cursor = statement->Execute({}, timeout, true);
    const bool readAll =
        cursorLocation_ == adUseClient || (cursorType != adOpenForwardOnly && cursorType != adOpenUnspecified);
    Attach(detail::KeepAlive(std::move(statement), std::move(cursor)), readAll);
}

void Recordset::Attach(std::unique_ptr<detail::Cursor> cursor, bool readAll) {
    if (impl_) detail::ThrowAdo(detail::adoerr::ObjectOpen, "Operation is not allowed when the object is open.");
    if (cursor->ColumnNames().empty()) return;  // a statement without rows: stays closed
    auto impl = std::make_unique<Impl>();
    impl->names = cursor->ColumnNames();
    impl->buffered = readAll;
    if (readAll) {
        while (cursor->Fetch(impl->row)) impl->rows.Append(impl->row);
        impl->empty = impl->rows.Rows() == 0;
        if (!impl->empty) impl->rows.Read(0, impl->row);
    } else {
        impl->empty = !cursor->Fetch(impl->row);
        impl->cursor = std::move(cursor);
    }
    impl->eof = impl->empty;
    impl_ = std::move(impl);
}

void Recordset::Close() { impl_.reset(); }

ObjectState Recordset::State() const noexcept { return impl_ ? adStateOpen : adStateClosed; }

bool Recordset::Eof() const {
    if (!impl_) ThrowClosed();
    return impl_->eof;
}

bool Recordset::Bof() const {
    if (!impl_) ThrowClosed();
    return impl_->empty;
}

int32_t Recordset::RecordCount() const {
    if (!impl_) ThrowClosed();
    return impl_->buffered ? static_cast<int32_t>(impl_->rows.Rows()) : -1;
}

void Recordset::MoveFirst() {
    if (!impl_) ThrowClosed();
    if (impl_->empty) ThrowNoCurrentRecord();
    if (impl_->buffered) {
        impl_->current = 0;
        impl_->eof = false;
        impl_->rows.Read(0, impl_->row);
        return;
    }
    if (impl_->current != 0 || impl_->eof)
        detail::ThrowAdo(errnum::DatabaseError, "Rowset does not support fetching backward.");
}

void Recordset::MoveNext() {
    if (!impl_) ThrowClosed();
    if (impl_->eof) ThrowNoCurrentRecord();
    ++impl_->current;
    if (impl_->buffered) {
        impl_->eof = impl_->current >= impl_->rows.Rows();
        if (!impl_->eof) impl_->rows.Read(impl_->current, impl_->row);
        return;
    }
    if (!impl_->cursor->Fetch(impl_->row)) {
        impl_->eof = true;
        impl_->cursor.reset();
    }
}

int32_t Recordset::FieldCount() const {
    if (!impl_) ThrowClosed();
    return static_cast<int32_t>(impl_->names.size());
}

std::string Recordset::FieldName(int32_t index) const {
    if (!impl_) ThrowClosed();
    if (index < 0 || index >= FieldCount())
        detail::ThrowAdo(detail::adoerr::ItemNotFound,
                         "Item cannot be found in the collection corresponding to the requested "
                         "name or ordinal.");
    return impl_->names[static_cast<std::size_t>(index)];
}

const Value& Recordset::Field(int32_t index) const {
    if (!impl_) ThrowClosed();
    if (index < 0 || index >= FieldCount())
        detail::ThrowAdo(detail::adoerr::ItemNotFound,
                         "Item cannot be found in the collection corresponding to the requested "
                         "name or ordinal.");
    if (impl_->eof) ThrowNoCurrentRecord();
    return impl_->row[static_cast<std::size_t>(index)];
}

const Value& Recordset::Field(std::string_view name) const {
    if (!impl_) ThrowClosed();
    for (std::size_t i = 0; i < impl_->names.size(); ++i)
        if (EqualsNoCase(impl_->names[i], name)) return Field(static_cast<int32_t>(i));
    detail::ThrowAdo(detail::adoerr::ItemNotFound,
                     "Item cannot be found in the collection corresponding to the requested name "
                     "or ordinal: " +
                         std::string(name));
}

}  // namespace pelmar::db
