#pragma once
// An up-down control: the two arrows beside a number box that step a value
// between a minimum and a maximum, without a text field of its own.
#include <QAbstractSpinBox>

namespace pelmar::gui {

class UpDown : public QAbstractSpinBox {
    Q_OBJECT
public:
    explicit UpDown(QWidget* parent = nullptr);

    void SetRange(int min, int max);
    void SetValue(int value);  // kept within the range
    int Value() const noexcept { return value_; }
    int Min() const noexcept { return min_; }
    int Max() const noexcept { return max_; }

    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    // The user stepped the value.
    void Stepped(int value);

protected:
    StepEnabled stepEnabled() const override;

private:
    int min_ = 1;
    int max_ = 1;
    int value_ = 1;
};

}  // namespace pelmar::gui
