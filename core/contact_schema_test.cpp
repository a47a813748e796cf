// The texts derived from the contacts table are those the database has always been sent.
#include "core/contact_schema.h"

#include <gtest/gtest.h>

#include <set>

#include "core/import_statements.h"

namespace pelmar {
namespace {

using F = ContactField;

TEST(ContactSchemaTest, InsertTextIsTheOneAlwaysSent) {
    EXPECT_EQ(ContactInsertSql(),
              "INSERT INTO SMS_ABCONTACTS(USER_ID,FNAME,MNAME,LNAME,MOBILENO, "
              "EMAIL,ADDRESS,ORGANISATION,FOLDER_ID,SEX,COUNTRYCODE,AGE,"
              "CITY,STATE,COUNTRY,ZIP,HOMEPHONE,OFFICEPHONE,FAX,BIRTHDAY,ANNIVERSARY,HOBBY)"
              "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
}

TEST(ContactSchemaTest, FilesListEveryFieldInFieldOrder) {
    EXPECT_EQ(ColumnList(FileColumns()),
              "FNAME,MNAME,LNAME,EMAIL,ADDRESS,MOBILENO,ORGANISATION,SEX,COUNTRYCODE,AGE,CITY,STATE,COUNTRY,ZIP,"
              "HOMEPHONE,OFFICEPHONE,FAX,BIRTHDAY,ANNIVERSARY,HOBBY");
    std::set<const ContactColumn*> seen;
    for (const ContactField field : kContactFields) {
        const ContactColumn& column = ColumnOf(field);
        EXPECT_EQ(column.field, field);
        EXPECT_TRUE(seen.insert(&column).second) << FieldName(field);
    }
    EXPECT_EQ(ColumnFor(ColumnSource::Owner).name, "USER_ID");
    EXPECT_EQ(ColumnFor(ColumnSource::Folder).name, "FOLDER_ID");
}

// An empty date is stored as Null, an empty text as text.
TEST(ContactSchemaTest, EachFieldStoresItsOwnMember) {
    ContactRecord record;
    for (const ContactField field : kContactFields)
        if (std::string* text = FieldText(record, field)) *text = std::string(FieldName(field));
    record.Age = 42;
    std::string members;
    for (const std::string* member :
         {&record.FirstName, &record.MiddleName, &record.LastName, &record.Email, &record.Address, &record.MobileNumber,
          &record.Organisation, &record.Sex, &record.CountryCode, &record.City, &record.State, &record.Country,
          &record.Zip, &record.HomePhone, &record.OfficePhone, &record.Fax, &record.Birthday, &record.Anniversary,
          &record.Hobby})
        members += *member + " ";
    EXPECT_EQ(members,
              "FirstName MiddleName LastName Email Address MobileNumber Organisation Sex CountryCode City State "
              "Country Zip HomePhone OfficePhone Fax Birthday Anniversary Hobby ");
    EXPECT_EQ(FieldText(record, F::Age), nullptr);

    db::Value value;
    SetFieldValue(value, ColumnOf(F::Age), record);
    EXPECT_EQ(value, db::Value(42));
    record.Birthday.clear();
    record.Hobby.clear();
    SetFieldValue(value, ColumnOf(F::Birthday), record);
    EXPECT_TRUE(value.IsNull());
    SetFieldValue(value, ColumnOf(F::Anniversary), record);
    EXPECT_EQ(value, db::Value("Anniversary"));
    SetFieldValue(value, ColumnOf(F::Hobby), record);
    EXPECT_EQ(value, db::Value(""));
}

TEST(ContactSchemaTest, NameLikeColumnsAreNarrowOnlyForMySql) {
    const struct {
        const char* databaseType;
        NameText nameText;
    } cases[] = {{"MySQL", NameText::Narrow},    {"mysql", NameText::Narrow}, {"MYSQL", NameText::Narrow},
                 {"PostgreSQL", NameText::Wide}, {"", NameText::Wide},        {"MySQL 8", NameText::Wide},
                 {" MySQL", NameText::Wide}};
    for (const auto& c : cases) EXPECT_EQ(NameTextFor(c.databaseType), c.nameText) << c.databaseType;
}

// The seven name-like parameters follow the run's NameText.
TEST(ContactSchemaTest, InsertParametersFollowTheTable) {
    for (const auto& [nameText, t] : {std::pair{NameText::Wide, ":W"}, std::pair{NameText::Narrow, ":N"}}) {
        std::string layout;
        for (const ContactColumn& column : kContactColumns) {
            const db::DataType type = ParameterType(column, nameText);
            layout += std::string(column.name) +
                      (type == db::adInteger   ? ":I"
                       : type == db::adVarChar ? ":N"
                                               : ":W") +
                      std::to_string(column.size) + " ";
        }
        std::string expected =
            "USER_ID:I0 FNAME:T50 MNAME:T50 LNAME:T50 MOBILENO:N50 EMAIL:N50 ADDRESS:T50 ORGANISATION:T50 "
            "FOLDER_ID:I0 SEX:N1 COUNTRYCODE:N10 AGE:I0 CITY:N100 STATE:T100 COUNTRY:T100 ZIP:N20 HOMEPHONE:N20 "
            "OFFICEPHONE:N20 FAX:N20 BIRTHDAY:N10 ANNIVERSARY:N10 HOBBY:N10 ";
        for (std::size_t at; (at = expected.find(":T")) != std::string::npos;) expected.replace(at, 2, t);
        EXPECT_EQ(layout, expected);
    }
}

}  // namespace
}  // namespace pelmar
