#include "gui/access_keys.h"

#include <QAbstractButton>
#include <QEvent>
#include <QShortcutEvent>

namespace pelmar::gui {
namespace {

class AccessKeyFocus : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::Shortcut) return false;
        auto* button = qobject_cast<QAbstractButton*>(watched);
        // An ambiguous key only moves the focus, which Qt does itself.
        if (!button || static_cast<QShortcutEvent*>(event)->isAmbiguous()) return false;
        if (button->hasFocus() || button->focusPolicy() == Qt::NoFocus || !button->isEnabled()) return false;
        button->setFocus(Qt::ShortcutFocusReason);
        // A refused check put the focus back into its box: no click.
        return !button->hasFocus();
    }
};

}  // namespace

void MoveFocusOnAccessKeys(QWidget& window) {
    auto* filter = new AccessKeyFocus(&window);
    for (QAbstractButton* button : window.findChildren<QAbstractButton*>()) button->installEventFilter(filter);
}

}  // namespace pelmar::gui
