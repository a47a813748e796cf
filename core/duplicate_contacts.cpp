#include "core/duplicate_contacts.h"

#include "db/connection.h"
#include "db/recordset.h"

namespace pelmar {
namespace {

using F = ContactField;

std::string Name(const ContactColumn& column) { return std::string(column.name); }

}  // namespace

void DuplicateContacts::Prepare(db::Connection& connection, const Destination& destination, int32_t ownerId,
                                int32_t folderId, const ColumnMapping& mapping, NameText nameText, bool update) {
    group_ = destination.IsGroup();
    ownerId_ = ownerId;
    folderId_ = folderId;
    groupId_ = group_ ? destination.RequiredId() : 0;
    const ContactColumn& mobile = ColumnOf(F::MobileNumber);
    if (group_) {
        StartCommand(lookup_, connection,
                     "SELECT C.ID FROM SMS_ABCONTACTS C INNER JOIN SMS_ABGROUPMAPS G ON G.CONTACT_ID = C.ID "
                     "WHERE G.GROUP_ID = ? AND C." +
                         Name(mobile) + " = ? ORDER BY C.ID");
        AppendInteger(lookup_, "GROUP_ID");
    } else {
        const ContactColumn& folder = ColumnFor(ColumnSource::Folder);
        const ContactColumn& owner = ColumnFor(ColumnSource::Owner);
        StartCommand(lookup_, connection,
                     "SELECT ID FROM SMS_ABCONTACTS WHERE " + Name(folder) + " = ? AND " + Name(owner) + " = ? AND " +
                         Name(mobile) + " = ? ORDER BY ID");
        AppendColumn(lookup_, folder, nameText);
        AppendColumn(lookup_, owner, nameText);
    }
    AppendColumn(lookup_, mobile, nameText);
    if (!update) return;

    std::string set;
    for (const ContactField field : kContactFields) {
        const FieldSource& source = mapping.Source(field);
        if (field == F::MobileNumber || source.position < 0 || source.failure) continue;
        set += std::string(set.empty() ? "" : ",") + Name(ColumnOf(field)) + "=?";
        updated_.push_back(field);
    }
    if (updated_.empty()) return;
    StartCommand(update_, connection, "UPDATE SMS_ABCONTACTS SET " + set + " WHERE ID = ?");
    for (const ContactField field : updated_) AppendColumn(update_, ColumnOf(field), nameText);
    AppendInteger(update_, "ID");
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
    std::vector<db::Value> values(updated_.size());
    for (std::size_t i = 0; i < updated_.size(); ++i) SetFieldValue(values[i], ColumnOf(updated_[i]), record);
    values.emplace_back(contactId);
    update_.Execute(values, db::adExecuteNoRecords);
}

}  // namespace pelmar
