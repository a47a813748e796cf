#pragma once
// Validation of a box when the focus leaves it for a control that causes
// validation, the way the windows this component mirrors check a typed path.
// Qt has no such event: this object watches the application's focus changes
// for one window and puts the focus back when the check refuses.
//
// A control causes validation unless SetCausesValidation(control, false) was
// called for it (or for a widget that contains it). A button whose click
// must not happen after a refused check asks Allows() first: while a refused
// check holds the focus in its box, the click is not carried out.
#include <QObject>
#include <QPointer>
#include <functional>
#include <vector>

class QWidget;

namespace pelmar::gui {

class FocusValidation : public QObject {
    Q_OBJECT
public:
    // False keeps the focus in the box.
    using Check = std::function<bool()>;

    explicit FocusValidation(QWidget& window);

    void Watch(QWidget& box, Check check);
    static void SetCausesValidation(QWidget& control, bool causes);
    bool Allows() const;

private:
    void FocusChanged(QWidget* old, QWidget* now);
    const Check* CheckOf(const QWidget* box) const;

    struct Watched {
        QPointer<QWidget> box;
        Check check;
    };
    QWidget& window_;
    std::vector<Watched> watched_;
    bool checking_ = false;
};

}  // namespace pelmar::gui
