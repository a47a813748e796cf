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
        {"INSERT INTO T(A) SELECT MYVALUES(?)", nullptr},
        {"INSERT INTO T(A)VALUES(?,(?))", nullptr},
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

TEST(UnnestInsert, TakesEachColumnAsOneArrayOfItsType) {
    const std::vector<DataType> types = {adInteger, adVarChar, adVarWChar};
    EXPECT_EQ(UnnestInsert("INSERT INTO T(A,B,C) VALUES (?,?,?) ", types),
              std::optional<std::string>(
                  "INSERT INTO T(A,B,C) SELECT * FROM unnest(CAST(? AS int4[]),CAST(? AS text[]),CAST(? AS text[]))"));
    EXPECT_FALSE(UnnestInsert("INSERT INTO T(A,B)VALUES(?,?)", types));  // a marker for each type
    EXPECT_FALSE(UnnestInsert("INSERT INTO T(A,B,C)VALUES(?,?,now())", types));
}

TEST(ArrayLiterals, QuoteEveryTextAndLeaveNullsAndNumbersBare) {
    const auto value = [](DataType type, std::optional<int32_t> integer, std::optional<std::string_view> text) {
        BoundValue v;
        v.type = type;
        v.null = !integer && !text;
        v.integer = integer.value_or(0);
        v.text = text.value_or("");
        return v;
    };
    const auto text = [&](std::string_view t) { return value(adVarChar, std::nullopt, t); };
    ArrayLiterals literals;
    literals.Add({value(adInteger, -7, std::nullopt), text(R"(a"b\c)")});
    literals.Add({value(adInteger, std::nullopt, std::nullopt), text("NULL")});
    literals.Add({value(adInteger, 0, std::nullopt), value(adVarWChar, std::nullopt, std::nullopt)});
    ASSERT_EQ(literals.Columns(), 2U);
    EXPECT_EQ(literals.Rows(), 3U);
    EXPECT_EQ(literals.Literal(0), "{-7,NULL,0}");
    EXPECT_EQ(literals.Literal(1), R"({"a\"b\\c","NULL",NULL})");
    literals.Clear();
    literals.Add({text("x")});
    EXPECT_EQ(literals.Literal(0), R"({"x"})");
}

}  // namespace
}  // namespace pelmar::db::detail
