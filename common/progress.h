#pragma once
// A progress bar's state, driven by the runs and shown by whichever window or
// terminal observes it. Setting a value outside Min..Max is an error
// (errnum::InvalidPropertyValue), as it is for the platform's progress bar.
#include <cstdint>
#include <functional>

namespace pelmar {

class ProgressBar {
public:
    using Observer = std::function<void(const ProgressBar&)>;

    bool Visible() const noexcept { return visible_; }
    int32_t Min() const noexcept { return min_; }
    int32_t Max() const noexcept { return max_; }
    int32_t Value() const noexcept { return value_; }

    void SetVisible(bool visible);
    void SetMin(int32_t min);
    void SetMax(int32_t max);
    void SetValue(int32_t value);  // throws when outside Min..Max
    void Step() { SetValue(value_ + 1); }

    // Called after every change.
    void SetObserver(Observer observer) { observer_ = std::move(observer); }

private:
    void Changed();

    bool visible_ = false;
    int32_t min_ = 0;
    int32_t max_ = 100;
    int32_t value_ = 0;
    Observer observer_;
};

}  // namespace pelmar
