#include "core/phone_counts.h"

#include <gtest/gtest.h>

#include "common/json_writer.h"

namespace pelmar {
namespace {

PhoneCounts CountOf(std::initializer_list<std::pair<const char*, const char*>> numbers) {
    PhoneCounts counts;
    for (const auto& [text, region] : numbers) counts.Count(ParsePhone(text, region));
    return counts;
}

TEST(PhoneCounts, NumbersCountUnderTheirOwnRegionOrTheParsedForAndAreWrittenAsJsonOrALine) {
    const PhoneCounts counts = CountOf({
        {"09820012345", "IN"},
        {"+44 7400 123456", "IN"},
        {"+44 20 7946 0958", "IN"},
        {"(201) 555-0123", "US"},
        {"1800 12 3456", "IN"},
        {"+44 56 1234 5678", "IN"},
        {"+44 909 876 5432", "IN"},
        {"98200123", "IN"},
        {"1-800-FLOWERS", "US"},
    });
    JsonWriter json;
    WritePhoneCounts(json, counts);
    EXPECT_EQ(json.Text(),
              R"({"types":{"mobile":2,"fixed_line":1,"fixed_line_or_mobile":1,"toll_free":1,"voip":1,"other":1,)"
              R"("invalid":2},"regions":{"GB":4,"IN":3,"US":2}})");
    // The line leaves out the kinds none were found of, but mobile; only mobiles are kept when asked.
    EXPECT_EQ(
        PhoneCountsLine(counts, false),
        "numbers: 2 mobile, 1 fixed line, 1 fixed line or mobile, 1 toll free, 1 voip, 1 other, 2 invalid (rejected)");
    EXPECT_EQ(PhoneCountsLine(counts, true),
              "numbers: 2 mobile, 1 fixed line (rejected), 1 fixed line or mobile, 1 toll free (rejected), "
              "1 voip (rejected), 1 other (rejected), 2 invalid (rejected)");
    EXPECT_EQ(PhoneCountsLine(PhoneCounts(), false), "numbers: 0 mobile");
}

}  // namespace
}  // namespace pelmar
