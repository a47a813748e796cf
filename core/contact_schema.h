#pragma once
// The contacts table, SMS_ABCONTACTS, as the component writes and reads it:
// one row per column, in the order of the contact insert. Everything else
// that names a column, sizes a value or picks a record's member for it (the
// insert and its parameters, the duplicate lookup and update, the length
// check, the CSV export and its field order) is derived from this table.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/contact_field.h"
#include "core/contact_record.h"
#include "db/ado.h"
#include "db/value.h"

namespace pelmar {

// How a column's value travels.
enum class ColumnKind : int8_t {
    Integer,
    Narrow,    // single-byte text whatever the database
    NameLike,  // text of the run's NameText: the names, address, organisation, state, country
};

// The text type of the name-like columns, decided once per run by whoever
// builds the job (NameTextFor).
enum class NameText : int8_t { Wide, Narrow };

// Where a column's value comes from when a record is inserted.
enum class ColumnSource : int8_t { Field, Owner, Folder };

struct ContactColumn {
    std::string_view name;
    ColumnKind kind;
    int32_t size;  // in characters; 0 for an integer
    bool emptyIsNull;
    ColumnSource source;
    std::optional<ContactField> field;  // for ColumnSource::Field
    std::string ContactRecord::*text;   // the record's text member, for a text field
    int32_t ContactRecord::*number;     // ... or its number member
};

namespace schema {
using F = ContactField;
using R = ContactRecord;
using K = ColumnKind;
using S = ColumnSource;
constexpr ContactColumn Text(std::string_view name, K kind, int32_t size, F field, std::string R::*text,
                             bool emptyIsNull = false) {
    return {name, kind, size, emptyIsNull, S::Field, field, text, nullptr};
}
}  // namespace schema

// The columns in the order of the contact insert.
// Kept on purpose: docs/behaviour.md#text-parameters-by-database-type
inline constexpr std::array<ContactColumn, 22> kContactColumns = [] {
    using namespace schema;
    return std::array<ContactColumn, 22>{{
        {"USER_ID", K::Integer, 0, false, S::Owner, std::nullopt, nullptr, nullptr},
        Text("FNAME", K::NameLike, 50, F::FirstName, &R::FirstName),
        Text("MNAME", K::NameLike, 50, F::MiddleName, &R::MiddleName),
        Text("LNAME", K::NameLike, 50, F::LastName, &R::LastName),
        Text("MOBILENO", K::Narrow, 50, F::MobileNumber, &R::MobileNumber),
        Text("EMAIL", K::Narrow, 50, F::Email, &R::Email),
        Text("ADDRESS", K::NameLike, 50, F::Address, &R::Address),
        Text("ORGANISATION", K::NameLike, 50, F::Organisation, &R::Organisation),
        {"FOLDER_ID", K::Integer, 0, false, S::Folder, std::nullopt, nullptr, nullptr},
        Text("SEX", K::Narrow, 1, F::Sex, &R::Sex),
        Text("COUNTRYCODE", K::Narrow, 10, F::CountryCode, &R::CountryCode),
        {"AGE", K::Integer, 0, false, S::Field, F::Age, nullptr, &R::Age},
        Text("CITY", K::Narrow, 100, F::City, &R::City),
        Text("STATE", K::NameLike, 100, F::State, &R::State),
        Text("COUNTRY", K::NameLike, 100, F::Country, &R::Country),
        Text("ZIP", K::Narrow, 20, F::Zip, &R::Zip),
        Text("HOMEPHONE", K::Narrow, 20, F::HomePhone, &R::HomePhone),
        Text("OFFICEPHONE", K::Narrow, 20, F::OfficePhone, &R::OfficePhone),
        Text("FAX", K::Narrow, 20, F::Fax, &R::Fax),
        // An empty date is stored as Null, never as an empty text.
        Text("BIRTHDAY", K::Narrow, 10, F::Birthday, &R::Birthday, true),
        Text("ANNIVERSARY", K::Narrow, 10, F::Anniversary, &R::Anniversary, true),
        Text("HOBBY", K::Narrow, 10, F::Hobby, &R::Hobby),
    }};
}();

// The column of a job value (the owner's USER_ID, the FOLDER_ID).
constexpr const ContactColumn& ColumnFor(ColumnSource source) {
    for (const ContactColumn& column : kContactColumns)
        if (column.source == source) return column;
    throw "no such column";  // not reached: the table has one of each
}

// The column of a contact field.
constexpr const ContactColumn& ColumnOf(ContactField field) {
    for (const ContactColumn& column : kContactColumns)
        if (column.field == field) return column;
    throw "no such column";  // not reached: the table has every field
}

// The order of the fields in a file the component writes with all of them
// (a CSV export, its header): the fields' own order, FirstName first.
inline constexpr const std::array<ContactField, kContactFieldCount>& kFileFieldOrder = kContactFields;

// "USER_ID", "FNAME", ... as a list: `columns` joined by ",".
std::string ColumnList(const std::vector<const ContactColumn*>& columns);
// The columns of the fields in file order.
std::vector<const ContactColumn*> FileColumns();

// The contact insert's command text, its columns in table order.
const std::string& ContactInsertSql();

// The text type of the name-like columns for the host's database type
// ("MySQL" in any case: narrow; anything else, "" included: wide).
NameText NameTextFor(std::string_view databaseType);

// The database type of a column's parameter.
db::DataType ParameterType(const ContactColumn& column, NameText nameText);

// The record's text member for `field`; null for Age, a number.
const std::string* FieldText(const ContactRecord& record, ContactField field);
std::string* FieldText(ContactRecord& record, ContactField field);

// The size of a field's column, in characters (0 for Age, a number).
constexpr int32_t FieldColumnSize(ContactField field) { return ColumnOf(field).size; }

// What a record stores in a field column, its text viewed in the record.
db::ValueView FieldValue(const ContactColumn& column, const ContactRecord& record);

}  // namespace pelmar
