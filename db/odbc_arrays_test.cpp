#include "db/odbc_arrays.h"

#include <gtest/gtest.h>

namespace pelmar::db::detail {
namespace {

TEST(MultiRowInsert, RepeatsAGroupOfMarkersOnly) {
    const struct {
        const char* sql;
        const char* twoRows;  // nullptr: no multi-row form
    } cases[] = {
        {"INSERT INTO T(A,B)VALUES(?,?)", "INSERT INTO T(A,B)VALUES(?,?),(?,?)"},
        {" insert into t (a, b) values ( ?, ? ) ;", " insert into t (a, b) values ( ?, ? ),( ?, ? )"},
        {"INSERT INTO MYVALUES(A)VALUES(?)", "INSERT INTO MYVALUES(A)VALUES(?),(?)"},
        {"INSERT INTO SMS_ABGROUPMAPS(GROUP_ID,CONTACT_ID) VALUES(?,lastval())", nullptr},
        {"INSERT INTO T(A,B)VALUES(?,'x')", nullptr},
        {"INSERT INTO T(A)VALUES(?) RETURNING ID", nullptr},
        {"INSERT INTO T(A) SELECT A FROM U WHERE B=?", nullptr},
        {"UPDATE T SET A=? WHERE B IN (SELECT 1) AND C=? -- VALUES(?)", nullptr},
        {"INSERT INTO T(A)VALUES()", nullptr},
    };
    for (const auto& c : cases) {
        const auto text = MultiRowInsert(c.sql, 2);
        if (c.twoRows)
            EXPECT_EQ(text, std::optional<std::string>(c.twoRows)) << c.sql;
        else
            EXPECT_FALSE(text) << c.sql << " became " << *text;
    }
}

}  // namespace
}  // namespace pelmar::db::detail
