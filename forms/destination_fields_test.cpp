#include "forms/destination_fields.h"

#include <gtest/gtest.h>

#include "core/column_map.h"

namespace pelmar {
namespace {

TEST(DestinationFields, IndexMatchesNamesExactlyAndMappedFieldTakesTheFirstExactPosition) {
    EXPECT_EQ(GetFieldIndex("FirstName"), 1);
    EXPECT_EQ(GetFieldIndex("Hobby"), 20);
    for (const char* other : {"<ignore>", "", "firstname", " Sex", "Unknown"}) EXPECT_EQ(GetFieldIndex(other), -1);

    ColumnMap map;
    map.Reset();
    map[2] = {"3", "Email"};
    map[5] = {"3", "City"};
    map[6] = {"07", "Zip"};
    map[21] = {"7", "Hobby"};
    EXPECT_EQ(GetMappedField(map, 3), "Email");
    EXPECT_EQ(GetMappedField(map, 7), "Hobby");
    EXPECT_EQ(GetMappedField(map, 0), "");
}

}  // namespace
}  // namespace pelmar
