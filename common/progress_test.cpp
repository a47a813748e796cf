#include "common/progress.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/error.h"
#include "testing/thrown.h"

namespace pelmar {
namespace {

TEST(ProgressBarTest, ValuesOutsideTheRangeAreRefusedAndLeaveTheBarAsItWas) {
    ProgressBar bar;
    std::vector<int32_t> seen;
    bar.SetObserver([&](const ProgressBar& b) { seen.push_back(b.Value()); });
    bar.SetMax(3);
    bar.SetValue(3);
    EXPECT_THROW(bar.SetValue(4), Error);
    EXPECT_THROW(bar.SetValue(-1), Error);
    EXPECT_THROW(bar.Step(), Error);
    EXPECT_EQ(bar.Value(), 3);
    EXPECT_THROW(bar.SetMin(4), Error);
    bar.SetMax(2);
    EXPECT_EQ(bar.Value(), 2);  // pulled into the narrower range
    bar.SetMin(2);
    EXPECT_EQ(test::ErrorNumberOf([&] { bar.SetMax(1); }), errnum::InvalidPropertyValue);
    EXPECT_EQ(bar.Max(), 2);
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 3, 2, 2})) << "the observer sees every change";

    ProgressBar empty;  // an empty run: minimum and maximum both 0
    empty.SetMax(0);
    empty.SetValue(0);
    EXPECT_EQ(empty.Value(), 0);
}

}  // namespace
}  // namespace pelmar
