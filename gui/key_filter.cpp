#include "gui/key_filter.h"

#include <QCoreApplication>
#include <QWidget>

namespace pelmar::gui {
namespace {

class KeyPressFilter : public QObject {
public:
    KeyPressFilter(QObject* parent, std::function<bool(const QKeyEvent&)> handler)
            : QObject(parent), handler_(std::move(handler)) {}

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        return event->type() == QEvent::KeyPress && handler_(*static_cast<const QKeyEvent*>(event));
    }

private:
    std::function<bool(const QKeyEvent&)> handler_;
};

}  // namespace

void OnKeyPress(QWidget& control, std::function<bool(const QKeyEvent&)> handler) {
    control.installEventFilter(new KeyPressFilter(&control, std::move(handler)));
}

void EnterAsTab(QWidget& box) {
    OnKeyPress(box, [&box](const QKeyEvent& key) {
        if (key.key() != Qt::Key_Return && key.key() != Qt::Key_Enter) return false;
        QCoreApplication::postEvent(&box, new QKeyEvent(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier));
        return true;
    });
}

std::optional<int16_t> KeyAscii(const QKeyEvent& key) {
    if (key.matches(QKeySequence::Paste)) return int16_t{22};
    if (key.matches(QKeySequence::Copy)) return int16_t{3};
    if (key.matches(QKeySequence::Cut)) return int16_t{24};
    switch (key.key()) {
        case Qt::Key_Backspace: return int16_t{8};
        case Qt::Key_Tab: return int16_t{9};
        case Qt::Key_Return:
        case Qt::Key_Enter: return int16_t{13};
        case Qt::Key_Escape: return int16_t{27};
        default: break;
    }
    const bool control = key.modifiers() & Qt::ControlModifier;
    if (control && key.key() >= Qt::Key_A && key.key() <= Qt::Key_Z)
        return static_cast<int16_t>(key.key() - Qt::Key_A + 1);
    const QString text = key.text();
    if (text.isEmpty() || text.at(0).unicode() < 32) return std::nullopt;
    return static_cast<int16_t>(text.at(0).unicode());
}

}  // namespace pelmar::gui
