#include "core/phone_region.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

TEST(PhoneRegion, ACountryCodeValueNamesItsRegionInThreeWaysOrSaysWhyNot) {
    const struct {
        const char *text, *region, *reason;
    } cases[] = {
        {"IN", "IN", ""},
        {"gb", "GB", ""},
        {" aE ", "AE", ""},
        {"91", "IN", ""},
        {"+91", "IN", ""},
        {"0091", "IN", ""},
        {"44", "GB", ""},  // the code's main region, not Guernsey or Jersey
        {"+1", "US", ""},  // ... not Canada
        {"India", "IN", ""},
        {"united kingdom", "GB", ""},
        {"côte d’ivoire", "CI", ""},  // ICU's spelling, case-folded beyond ASCII
        {"CÔTE D’IVOIRE", "CI", ""},
        {"UK", "", "not a region with a numbering plan"},  // GB is the code
        {"999", "", "not a country calling code"},
        {"+800", "", "not a country calling code"},  // worldwide freephone: no region
        {"Narnia", "", "not a region, calling code or country name"},
        {"Ind", "", "not a region, calling code or country name"},
        {"+", "", "not a region, calling code or country name"},
        {"", "", "no region"},
    };
    for (const auto& c : cases) {
        const RegionLookup found = ResolveRegion(c.text);
        EXPECT_EQ(found.region + "|" + found.reason, std::string(c.region) + "|" + c.reason) << c.text;
    }
}

TEST(PhoneRegion, ARecordsOwnCountryCodeWinsOverTheDefault) {
    EXPECT_EQ(RecordRegion("India", "GB").region, "IN");
    EXPECT_EQ(RecordRegion("", "GB").region, "GB");
    EXPECT_EQ(RecordRegion("  ", "GB").region, "GB");
    const RegionLookup none = RecordRegion("", "");
    EXPECT_EQ(none.region + none.reason, "");  // no region: the numbers stay as read
    const RegionLookup unknown = RecordRegion("Narnia", "GB");
    EXPECT_EQ(unknown.region, "");  // an unknown value is not replaced by the default
    EXPECT_NE(unknown.reason, "");
}

}  // namespace
}  // namespace pelmar
