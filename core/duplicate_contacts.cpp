#include "core/duplicate_contacts.h"

#include <array>

#include "common/text.h"
#include "core/contact_columns.h"
#include "core/normalise.h"
#include "db/connection.h"
#include "db/recordset.h"

namespace pelmar {
namespace {

using F = ContactField;

void Start(db::Command& command, db::Connection& connection, std::string sql) {
    command.Type = db::adCmdText;
    command.SetActiveConnection(connection);
    command.CommandText = std::move(sql);
    command.Prepared = true;
}

void AddInteger(db::Command& command, const char* name) {
    command.AppendParameter(command.CreateParameter(name, db::adInteger, db::adParamInput, 0));
}

}  // namespace

void DuplicateContacts::Prepare(db::Connection& connection, const Destination& destination, int32_t ownerId,
                                int32_t folderId, const ColumnMapping& mapping, const DatabaseTypeSource& databaseType,
                                bool update) {
    group_ = destination.IsGroup();
    ownerId_ = ownerId;
    folderId_ = folderId;
    groupId_ = group_ ? destination.RequiredId() : 0;
    if (group_) {
        Start(lookup_, connection,
              "SELECT C.ID FROM SMS_ABCONTACTS C INNER JOIN SMS_ABGROUPMAPS G ON G.CONTACT_ID = C.ID "
              "WHERE G.GROUP_ID = ? AND C.MOBILENO = ? ORDER BY C.ID");
        AddInteger(lookup_, "GROUP_ID");
    } else {
        Start(lookup_, connection,
              "SELECT ID FROM SMS_ABCONTACTS WHERE FOLDER_ID = ? AND USER_ID = ? AND MOBILENO = ? ORDER BY ID");
        AddInteger(lookup_, "FOLDER_ID");
        AddInteger(lookup_, "USER_ID");
    }
    lookup_.AppendParameter(lookup_.CreateParameter("MOBILENO", db::adVarChar, db::adParamInput, 50));
    if (!update) return;

    std::string set;
    for (const ContactField field : kContactFields) {
        const FieldSource& source = mapping.Source(field);
        if (field == F::MobileNumber || source.position < 0 || source.failure) continue;
        set += std::string(set.empty() ? "" : ",") + std::string(ColumnOf(field).name) + "=?";
        updated_.push_back(field);
    }
    if (updated_.empty()) return;
    Start(update_, connection, "UPDATE SMS_ABCONTACTS SET " + set + " WHERE ID = ?");
    const bool mysql = UpperCase(databaseType()) == "MYSQL";
    for (const ContactField field : updated_) {
        const ContactColumn& column = ColumnOf(field);
        const std::string name(column.name);
        if (field == F::Age) {
            update_.AppendParameter(update_.CreateParameter(name, db::adInteger, db::adParamInput, 0));
            continue;
        }
        const db::DataType type = column.nameLike && !mysql ? db::adVarWChar : db::adVarChar;
        update_.AppendParameter(update_.CreateParameter(name, type, db::adParamInput, FieldColumnSize(field)));
    }
    AddInteger(update_, "ID");
}

std::optional<int32_t> DuplicateContacts::Find(const std::string& mobileNumber) {
    std::vector<db::Value> values;
    if (group_)
        values = {groupId_, mobileNumber};
    else
        values = {folderId_, ownerId_, mobileNumber};
    db::Recordset found = lookup_.Execute(values);
    std::optional<int32_t> id;
    if (!found.Eof()) id = found.Field(0).ToInt32();
    found.Close();
    if (!id && remembered_.contains(mobileNumber)) id = 0;
    return id;
}

void DuplicateContacts::Update(int32_t contactId, const ContactRecord& record) {
    if (updated_.empty()) return;
    std::vector<db::Value> values;
    for (const ContactField field : updated_) {
        if (field == F::Age) {
            values.emplace_back(record.Age);
            continue;
        }
        const std::string& text = *FieldText(record, field);
        const bool date = field == F::Birthday || field == F::Anniversary;
        values.push_back(date && text.empty() ? db::Value(db::Null{}) : db::Value(text));
    }
    values.emplace_back(contactId);
    update_.Execute(values, db::adExecuteNoRecords);
}

}  // namespace pelmar
