#include "mapping/destination_fields.h"

#include <gtest/gtest.h>

#include "component/session_state.h"

namespace {

TEST(GetFieldIndex, MatchesTheTwentyFieldNamesExactly) {
    EXPECT_EQ(pelmar::GetFieldIndex("FirstName"), 1);
    EXPECT_EQ(pelmar::GetFieldIndex("Sex"), 8);
    EXPECT_EQ(pelmar::GetFieldIndex("Hobby"), 20);
    for (const char* other : {"<ignore>", "", "firstname", " Sex", "Sex ", "Unknown"}) {
        EXPECT_EQ(pelmar::GetFieldIndex(other), -1) << other;
    }
}

TEST(GetMappedField, TakesTheFirstEntryWithThatExactPosition) {
    pelmar::ColumnMap& map = pelmar::Session().ColumnMap;
    map.Reset();
    map[2] = {"3", "Email"};
    map[5] = {"3", "City"};
    map[6] = {"03", "Zip"};
    map[21] = {"7", "Hobby"};
    EXPECT_EQ(pelmar::GetMappedField(3), "Email");
    EXPECT_EQ(pelmar::GetMappedField(7), "Hobby");
    EXPECT_EQ(pelmar::GetMappedField(0), "");
    EXPECT_EQ(pelmar::GetMappedField(-1), "");  // a free entry carries no field
    map.Reset();
}

}  // namespace
