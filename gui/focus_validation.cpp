#include "gui/focus_validation.h"

#include <QApplication>
#include <QWidget>

namespace pelmar::gui {
namespace {

constexpr const char* kCausesValidation = "causesValidation";

bool CausesValidation(const QWidget* control) {
    for (const QWidget* w = control; w; w = w->parentWidget()) {
        const QVariant causes = w->property(kCausesValidation);
        if (causes.isValid()) return causes.toBool();
        if (w->isWindow()) break;
    }
    return true;
}

}  // namespace

FocusValidation::FocusValidation(QWidget& window) : QObject(&window), window_(window) {
    connect(qApp, &QApplication::focusChanged, this, &FocusValidation::FocusChanged);
}

void FocusValidation::Watch(QWidget& box, Check check) { watched_.push_back({&box, std::move(check)}); }

void FocusValidation::SetCausesValidation(QWidget& control, bool causes) {
    control.setProperty(kCausesValidation, causes);
}

bool FocusValidation::Allows() const { return CheckOf(QApplication::focusWidget()) == nullptr; }

const FocusValidation::Check* FocusValidation::CheckOf(const QWidget* box) const {
    for (const Watched& w : watched_)
        if (box && w.box == box) return &w.check;
    return nullptr;
}

void FocusValidation::FocusChanged(QWidget* old, QWidget* now) {
    // Only moves within this window count; a message box the check shows
    // takes the focus to another window and gives it back.
    if (checking_ || !old || !now || now->window() != &window_ || old->window() != &window_) return;
    const Check* check = CheckOf(old);
    if (!check || !CausesValidation(now)) return;
    checking_ = true;
    const bool passed = (*check)();
    checking_ = false;
    if (!passed) old->setFocus(Qt::OtherFocusReason);
}

}  // namespace pelmar::gui
