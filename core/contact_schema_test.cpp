// The texts derived from the contacts table are those the database has always been sent.
#include "core/contact_schema.h"

#include <gtest/gtest.h>

#include "core/import_statements.h"

namespace pelmar {
namespace {

TEST(ContactSchemaTest, InsertTextAndFileColumnsAreTheOnesAlwaysSent) {
    EXPECT_EQ(ContactInsertSql(),
              "INSERT INTO SMS_ABCONTACTS(USER_ID,FNAME,MNAME,LNAME,MOBILENO, "
              "EMAIL,ADDRESS,ORGANISATION,FOLDER_ID,SEX,COUNTRYCODE,AGE,"
              "CITY,STATE,COUNTRY,ZIP,HOMEPHONE,OFFICEPHONE,FAX,BIRTHDAY,ANNIVERSARY,HOBBY)"
              "VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
    EXPECT_EQ(ColumnList(FileColumns()),
              "FNAME,MNAME,LNAME,EMAIL,ADDRESS,MOBILENO,ORGANISATION,SEX,COUNTRYCODE,AGE,CITY,STATE,COUNTRY,ZIP,"
              "HOMEPHONE,OFFICEPHONE,FAX,BIRTHDAY,ANNIVERSARY,HOBBY");
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
