#include "db/parameter_rows.h"

#include <gtest/gtest.h>

#include "db/db_error.h"

namespace pelmar::db {
namespace {

TEST(ParameterRowsTest, GivesBackEveryRowAsItWasAdded) {
    const std::vector<std::vector<Value>> added = {
        {Value(int32_t{7}), Value("Zoë"), Value(Null{}), Value()},
        {Value(int64_t{5000000000}), Value(""), Value(2.5), Value(std::string(300, 'x'))},
        {Value(int32_t{-1}), Value("Γιώργος"), Value("a"), Value(Null{})},
    };
    ParameterRows rows(4);
    for (const auto& row : added) rows.Add(row);
    for (const auto& row : added) rows.Add(std::vector<ValueView>(row.begin(), row.end()));
    ASSERT_EQ(rows.Size(), 2 * added.size());

    // Read in an order other than added, into values of other types.
    std::vector<Value> read = {Value("long text that must be replaced"), Value(int32_t{1})};
    for (std::size_t r : {2u, 0u, 4u, 1u, 5u, 2u, 3u}) {
        rows.Read(r, read);
        EXPECT_EQ(read, added[r % added.size()]) << "row " << r;
    }
}

TEST(ParameterRowsTest, ClearEmptiesRowsAddedAfterReadAloneAndARowOfAnotherWidthIsRefused) {
    ParameterRows rows(1);
    rows.Add(std::vector<Value>{Value("first")});
    rows.Clear();
    EXPECT_TRUE(rows.Empty());
    EXPECT_THROW(rows.Add(std::vector<Value>{Value(int32_t{1}), Value(int32_t{2})}), DbError);
    EXPECT_THROW(rows.Add(std::vector<Value>{}), DbError);
    EXPECT_TRUE(rows.Empty());
    rows.Add(std::vector<Value>{Value("second")});
    std::vector<Value> read;
    rows.Read(0, read);
    EXPECT_EQ(rows.Size(), 1u);
    EXPECT_EQ(read, std::vector<Value>{Value("second")});
}

}  // namespace
}  // namespace pelmar::db
