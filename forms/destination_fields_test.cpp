#include "forms/destination_fields.h"

#include <gtest/gtest.h>

#include "session/session_state.h"

namespace pelmar {
namespace {

TEST(DestinationFields, IndexMatchesNamesExactlyAndMappedFieldTakesTheFirstExactPosition) {
    EXPECT_EQ(GetFieldIndex("FirstName"), 1);
    EXPECT_EQ(GetFieldIndex("Hobby"), 20);
    for (const char* other : {"<ignore>", "", "firstname", " Sex", "Unknown"}) EXPECT_EQ(GetFieldIndex(other), -1);

    ColumnMap& map = Session().ColumnMap;
    map.Reset();
    map[2] = {"3", "Email"};
    map[5] = {"3", "City"};
    map[6] = {"07", "Zip"};
    map[21] = {"7", "Hobby"};
    EXPECT_EQ(GetMappedField(3), "Email");
    EXPECT_EQ(GetMappedField(7), "Hobby");
    EXPECT_EQ(GetMappedField(0), "");
    map.Reset();
}

}  // namespace
}  // namespace pelmar
