#include "common/progress.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/error.h"

namespace pelmar {
namespace {

int32_t ErrorNumberOf(ProgressBar& bar, void (ProgressBar::*set)(int32_t), int32_t value) {
    try {
        (bar.*set)(value);
    } catch (const Error& e) {
        return e.Number();
    }
    return 0;
}

TEST(ProgressBarTest, ValuesOutsideTheRangeAreRefusedAndLeaveTheBarAsItWas) {
    ProgressBar bar;
    bar.SetMax(3);
    bar.SetMin(0);
    bar.SetValue(3);
    EXPECT_EQ(ErrorNumberOf(bar, &ProgressBar::SetValue, 4), errnum::InvalidPropertyValue);
    EXPECT_EQ(ErrorNumberOf(bar, &ProgressBar::SetValue, -1), errnum::InvalidPropertyValue);
    EXPECT_EQ(bar.Value(), 3);
    EXPECT_THROW(bar.Step(), Error);
    EXPECT_EQ(ErrorNumberOf(bar, &ProgressBar::SetMin, 4), errnum::InvalidPropertyValue);
    EXPECT_EQ(ErrorNumberOf(bar, &ProgressBar::SetMax, 2), 0);
    EXPECT_EQ(bar.Value(), 2);  // pulled into the narrower range
    bar.SetMin(2);
    EXPECT_EQ(ErrorNumberOf(bar, &ProgressBar::SetMax, 1), errnum::InvalidPropertyValue);
    EXPECT_EQ(bar.Max(), 2);
}

TEST(ProgressBarTest, ObserverSeesEveryChange) {
    ProgressBar bar;
    std::vector<int32_t> seen;
    bar.SetObserver([&](const ProgressBar& b) { seen.push_back(b.Value()); });
    bar.SetVisible(true);
    bar.SetMax(0);  // an empty run: minimum and maximum both 0
    bar.SetValue(0);
    EXPECT_EQ(seen, (std::vector<int32_t>{0, 0, 0}));
    EXPECT_TRUE(bar.Visible());
}

}  // namespace
}  // namespace pelmar
