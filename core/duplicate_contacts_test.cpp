// Contacts already in the destination, found by mobile number within its folder and owner or its group.
#include "core/duplicate_contacts.h"

#include <gtest/gtest.h>

#include "testing/db_backends.h"

namespace pelmar {
namespace {

using test::Rows;

class DuplicateContactsTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        // Ids 1..6: folder, owner and number; 3, 4 and 6 are in group 7.
        Exec(
            {"INSERT INTO SMS_ABCONTACTS (FOLDER_ID,USER_ID,MOBILENO,FNAME,LNAME,BIRTHDAY) VALUES "
             "(1,2,'98100','Ann','Lee','1990-01-02'),(1,0,'98100','Bo','Ray',NULL),(3,2,'98100','Cy','Ng',NULL),"
             "(3,2,'98101','Di','Fox',NULL),(1,2,'98100','Ed','Ek',NULL),(3,2,'098200 12345','Fa','Ox',NULL)",
             "INSERT INTO SMS_ABGROUPMAPS (GROUP_ID,CONTACT_ID) SELECT 7,ID FROM SMS_ABCONTACTS WHERE FNAME IN "
             "('Cy','Di','Fa')"});
        for (const auto& row : Select("SELECT ID FROM SMS_ABCONTACTS ORDER BY ID")) ids_.push_back(std::stoi(row[0]));
    }

    Rows Select(const std::string& sql) const { return BackendTest::Select(sql, "<null>"); }

    std::vector<int32_t> ids_;
};

TEST_P(DuplicateContactsTest, FoundWithinTheDestinationOldestFirst) {
    const struct {
        const char* name;
        Destination destination;
        int32_t owner, folder;
        const char* number;
        const char* region;  // "": compared as stored
        int found;           // the contact's position (1-based), 0 for none
    } cases[] = {
        {"folder and owner", {LocalFolder, 1}, 2, 1, "98100", "", 1},
        {"shared owner", {SharedFolder, 1}, 0, 1, "98100", "", 2},
        {"another folder", {LocalFolder, 3}, 2, 3, "98100", "", 3},
        {"no such number", {LocalFolder, 1}, 2, 1, "98101", "", 0},
        {"the group's", {SharedGroup, 7}, 0, 3, "98101", "", 4},
        {"not in the group", {SharedGroup, 7}, 0, 1, "98102", "", 0},
        {"stored in another spelling", {LocalFolder, 3}, 2, 3, "+919820012345", "IN", 6},
        {"the group's, in another spelling", {SharedGroup, 7}, 0, 3, "+919820012345", "IN", 6},
        {"another spelling, not a number there", {LocalFolder, 3}, 2, 3, "+919820012345", "GB", 0},
        {"another spelling, another folder", {LocalFolder, 1}, 2, 1, "+919820012345", "IN", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        DuplicateContacts duplicates;
        const bool byNumber = *c.region != '\0';
        duplicates.Prepare(Book(), c.destination, c.owner, c.folder, ColumnMapping::Default(), NameText::Wide, false,
                           byNumber);
        const std::optional<int32_t> found =
            byNumber ? duplicates.FindNumber(c.number, c.region) : duplicates.Find(c.number);
        if (c.found == 0) {
            EXPECT_EQ(found, std::nullopt);
            duplicates.Remember(c.number);  // a dry run's: there from now on, with no id
            EXPECT_EQ(duplicates.Find(c.number), 0);
        } else {
            EXPECT_EQ(found, ids_[static_cast<std::size_t>(c.found - 1)]);
        }
    }
}

TEST_P(DuplicateContactsTest, UpdateSetsTheMappedFieldsOnly) {
    ColumnMapping mapping;
    mapping.Map(ContactField::FirstName, 0);
    mapping.Map(ContactField::MobileNumber, 1);
    mapping.Map(ContactField::Birthday, 2);
    mapping.Map(ContactField::Age, 3);
    DuplicateContacts duplicates;
    duplicates.Prepare(Book(), {LocalFolder, 1}, 2, 1, mapping, NameText::Wide, true);
    ContactRecord record;
    record.FirstName = "Zo\xC3\xAB";
    record.LastName = "not mapped";
    record.MobileNumber = "99999";
    record.Age = 41;
    duplicates.Update(ids_[0], record);
    EXPECT_EQ(
        Select("SELECT FNAME,LNAME,MOBILENO,BIRTHDAY,AGE FROM SMS_ABCONTACTS WHERE ID=" + std::to_string(ids_[0])),
        (Rows{{"Zo\xC3\xAB", "Lee", "98100", "<null>", "41"}}));
}

PELMAR_INSTANTIATE_BACKEND_TESTS(DuplicateContactsTest);

}  // namespace
}  // namespace pelmar
