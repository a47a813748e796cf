#include "core/duplicate_contacts.h"

#include "core/phone_number.h"
#include "db/connection.h"
#include "db/recordset.h"

namespace pelmar {
namespace {

using F = ContactField;

std::string Name(const ContactColumn& column) { return std::string(column.name); }

}  // namespace

void DuplicateContacts::Prepare(db::Connection& connection, const Destination& destination, int32_t ownerId,
                                int32_t folderId, const ColumnMapping& mapping, NameText nameText, bool update,
                                bool byNumber) {
    group_ = destination.IsGroup();
    ownerId_ = ownerId;
    folderId_ = folderId;
    groupId_ = group_ ? destination.RequiredId() : 0;
    const ContactColumn& mobile = ColumnOf(F::MobileNumber);
    const ContactColumn& folder = ColumnFor(ColumnSource::Folder);
    const ContactColumn& owner = ColumnFor(ColumnSource::Owner);
    // The destination's contacts, with `what` selected and `also` asked.
    const auto select = [&](db::Command& command, const std::string& what, const std::string& also) {
        if (group_) {
            StartCommand(command, connection,
                         "SELECT C.ID" + what +
                             " FROM SMS_ABCONTACTS C INNER JOIN SMS_ABGROUPMAPS G ON G.CONTACT_ID = C.ID "
                             "WHERE G.GROUP_ID = ?" +
                             also + " ORDER BY C.ID");
            AppendInteger(command, "GROUP_ID");
        } else {
            StartCommand(command, connection,
                         "SELECT ID" + what + " FROM SMS_ABCONTACTS WHERE " + Name(folder) + " = ? AND " + Name(owner) +
                             " = ?" + also + " ORDER BY ID");
            AppendColumn(command, folder, nameText);
            AppendColumn(command, owner, nameText);
        }
    };
    select(lookup_, "", " AND " + std::string(group_ ? "C." : "") + Name(mobile) + " = ?");
    AppendColumn(lookup_, mobile, nameText);
    stored_.clear();
    storedByRegion_.clear();
    if (byNumber) {
        db::Command stored;
        select(stored, ", " + std::string(group_ ? "C." : "") + Name(mobile), "");
        db::Recordset rows =
            stored.Execute(group_ ? std::vector<db::Value>{groupId_} : std::vector<db::Value>{folderId_, ownerId_});
        for (; !rows.Eof(); rows.MoveNext())
            stored_.emplace_back(rows.Field(0).ToInt32(), db::NullToText(rows.Field(1), ""));
        rows.Close();
    }
    if (!update) return;

    std::string set;
    for (const ContactField field : kContactFields) {
        const FieldSource& source = mapping.Source(field);
        if ((field == F::MobileNumber && !byNumber) || source.position < 0 || source.failure) continue;
        set += std::string(set.empty() ? "" : ",") + Name(ColumnOf(field)) + "=?";
        updated_.push_back(field);
    }
    if (updated_.empty()) return;
    StartCommand(update_, connection, "UPDATE SMS_ABCONTACTS SET " + set + " WHERE ID = ?");
    for (const ContactField field : updated_) AppendColumn(update_, ColumnOf(field), nameText);
    AppendInteger(update_, "ID");
}

std::optional<int32_t> DuplicateContacts::FindNumber(const std::string& e164, std::string_view region) {
    auto parsed = storedByRegion_.find(region);
    if (parsed == storedByRegion_.end()) {
        std::map<std::string, int32_t> byNumber;
        for (const auto& [id, number] : stored_) {
            const ParsedPhone phone = ParsePhone(number, region);
            if (phone.Valid()) byNumber.emplace(phone.e164, id);  // the first is the oldest
        }
        parsed = storedByRegion_.emplace(std::string(region), std::move(byNumber)).first;
    }
    // Contacts stored before the run; then those it stored, in E.164.
    if (const auto found = parsed->second.find(e164); found != parsed->second.end()) return found->second;
    return Find(e164);
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
    std::vector<db::ValueView> values;
    values.reserve(updated_.size() + 1);
    for (const ContactField field : updated_) values.push_back(FieldValue(ColumnOf(field), record));
    values.emplace_back(contactId);
    update_.ExecuteRow(values, db::adExecuteNoRecords);
}

}  // namespace pelmar
