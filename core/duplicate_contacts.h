#pragma once
// Contacts already in the destination: those with the same mobile number in
// the destination folder (for a folder) or group (for a group), found with a
// prepared lookup, and for the update policy changed in the fields the run
// maps.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/column_mapping.h"
#include "core/contact_record.h"
#include "core/destination.h"
#include "core/import_statements.h"
#include "db/command.h"

namespace pelmar {

namespace db {
class Connection;
}

enum class DuplicatePolicy {
    Insert,  // every record is inserted, whatever is there
    Skip,    // a record whose number is there already is skipped
    Update,  // ... updates the contact that has it, in the mapped fields
};

class DuplicateContacts {
public:
    // Prepares the lookup, and for Update the update of the fields `mapping`
    // maps (all but the mobile number, which is what matched). `byNumber`:
    // the run's numbers are in E.164, the destination's are read for
    // FindNumber, and an update stores the mobile number's E.164 form too.
    void Prepare(db::Connection& connection, const Destination& destination, int32_t ownerId, int32_t folderId,
                 const ColumnMapping& mapping, NameText nameText, bool update, bool byNumber = false);

    // The contact of the destination with this number, the oldest; nothing
    // when there is none. Numbers remembered by a run that writes nothing
    // count as there.
    std::optional<int32_t> Find(const std::string& mobileNumber);
    void Remember(const std::string& mobileNumber) { remembered_.insert(mobileNumber); }
    // The same for a number in E.164, found also where the destination has
    // it in another spelling, as parsed for `region` (the stored numbers are
    // not changed).
    std::optional<int32_t> FindNumber(const std::string& e164, std::string_view region);

    void Update(int32_t contactId, const ContactRecord& record);

private:
    bool group_ = false;
    int32_t ownerId_ = 0;
    int32_t folderId_ = 0;
    int32_t groupId_ = 0;
    db::Command lookup_;
    db::Command update_;
    std::vector<ContactField> updated_;  // the fields the update sets, in its order
    std::set<std::string> remembered_;
    std::vector<std::pair<int32_t, std::string>> stored_;  // the destination's, oldest first
    std::map<std::string, std::map<std::string, int32_t>, std::less<>> storedByRegion_;  // E.164 to the oldest ID
};

}  // namespace pelmar
