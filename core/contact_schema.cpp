#include "core/contact_schema.h"

#include "common/text.h"

namespace pelmar {
namespace {

// The insert's text was first written over several lines, leaving a blank
// after the fifth column; the text is kept as it has always been sent.
constexpr std::size_t kBlankAfterColumn = 5;

}  // namespace

std::string ColumnList(const std::vector<const ContactColumn*>& columns) {
    std::string list;
    for (const ContactColumn* column : columns)
        list += std::string(list.empty() ? "" : ",") + std::string(column->name);
    return list;
}

std::vector<const ContactColumn*> FileColumns() {
    std::vector<const ContactColumn*> columns;
    columns.reserve(kFileFieldOrder.size());
    for (const ContactField field : kFileFieldOrder) columns.push_back(&ColumnOf(field));
    return columns;
}

const std::string& ContactInsertSql() {
    static const std::string sql = [] {
        std::string text = "INSERT INTO SMS_ABCONTACTS(";
        std::string marks;
        for (std::size_t i = 0; i < kContactColumns.size(); ++i) {
            if (i > 0) text += i == kBlankAfterColumn ? ", " : ",";
            text += kContactColumns[i].name;
            marks += i > 0 ? ",?" : "?";
        }
        return text + ")VALUES(" + marks + ")";
    }();
    return sql;
}

NameText NameTextFor(std::string_view databaseType) {
    return UpperCase(std::string(databaseType)) == "MYSQL" ? NameText::Narrow : NameText::Wide;
}

db::DataType ParameterType(const ContactColumn& column, NameText nameText) {
    switch (column.kind) {
        case ColumnKind::Integer: return db::adInteger;
        case ColumnKind::Narrow: return db::adVarChar;
        case ColumnKind::NameLike: break;
    }
    return nameText == NameText::Narrow ? db::adVarChar : db::adVarWChar;
}

const std::string* FieldText(const ContactRecord& record, ContactField field) {
    const ContactColumn& column = ColumnOf(field);
    return column.text ? &(record.*column.text) : nullptr;
}

std::string* FieldText(ContactRecord& record, ContactField field) {
    const ContactColumn& column = ColumnOf(field);
    return column.text ? &(record.*column.text) : nullptr;
}

db::ValueView FieldValue(const ContactColumn& column, const ContactRecord& record) {
    if (column.number) return record.*column.number;
    const std::string& text = record.*column.text;
    if (column.emptyIsNull && text.empty()) return db::Null{};
    return std::string_view(text);
}

}  // namespace pelmar
