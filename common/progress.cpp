#include "common/progress.h"

#include "common/error.h"

namespace pelmar {
namespace {

[[noreturn]] void InvalidValue() { throw Error(errnum::InvalidPropertyValue, "Invalid property value"); }

}  // namespace

void ProgressBar::SetVisible(bool visible) {
    visible_ = visible;
    Changed();
}

void ProgressBar::SetMin(int32_t min) {
    if (min > max_) InvalidValue();
    min_ = min;
    if (value_ < min_) value_ = min_;
    Changed();
}

void ProgressBar::SetMax(int32_t max) {
    if (max < min_) InvalidValue();
    max_ = max;
    if (value_ > max_) value_ = max_;
    Changed();
}

void ProgressBar::SetValue(int32_t value) {
    if (value < min_ || value > max_) InvalidValue();
    value_ = value;
    Changed();
}

void ProgressBar::Changed() {
    if (observer_) observer_(*this);
}

}  // namespace pelmar
