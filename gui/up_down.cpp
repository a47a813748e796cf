#include "gui/up_down.h"

#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <algorithm>

namespace pelmar::gui {

UpDown::UpDown(QWidget* parent) : QAbstractSpinBox(parent) {
    lineEdit()->setVisible(false);
    lineEdit()->setReadOnly(true);
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void UpDown::SetRange(int min, int max) {
    min_ = min;
    max_ = std::max(min, max);
    value_ = std::clamp(value_, min_, max_);
    update();
}

void UpDown::SetValue(int value) {
    value_ = std::clamp(value, min_, max_);
    update();
}

void UpDown::stepBy(int steps) {
    const int next = std::clamp(value_ + steps, min_, max_);
    if (next == value_) return;
    value_ = next;
    update();
    emit Stepped(value_);
}

QAbstractSpinBox::StepEnabled UpDown::stepEnabled() const {
    StepEnabled enabled = StepNone;
    if (value_ < max_) enabled |= StepUpEnabled;
    if (value_ > min_) enabled |= StepDownEnabled;
    return enabled;
}

QSize UpDown::sizeHint() const {
    // As wide as the arrows; as high as a spin box.
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    option.rect = QRect(0, 0, 100, QAbstractSpinBox::sizeHint().height());
    const QRect up = style()->subControlRect(QStyle::CC_SpinBox, &option, QStyle::SC_SpinBoxUp, this);
    const int frame = style()->pixelMetric(QStyle::PM_SpinBoxFrameWidth, &option, this);
    return {up.width() + 2 * frame, option.rect.height()};
}

}  // namespace pelmar::gui
