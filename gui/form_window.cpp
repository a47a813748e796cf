#include "gui/form_window.h"

#include <QKeyEvent>
#include <QPointer>
#include <array>

namespace pelmar::gui {
namespace {

// The open windows of this thread, one of each kind at most.
thread_local std::array<QPointer<FormWindow>, 4> tOpen;

QPointer<FormWindow>& Slot(WindowKind kind) { return tOpen[static_cast<std::size_t>(kind)]; }

}  // namespace

FormWindow::FormWindow(WindowKind kind, QWidget* parent) : QDialog(parent), kind_(kind) { Slot(kind_) = this; }

FormWindow::~FormWindow() {
    if (Slot(kind_) == this) Slot(kind_) = nullptr;
}

void FormWindow::RethrowFailure() {
    if (failure_) std::rethrow_exception(std::exchange(failure_, nullptr));
}

void FormWindow::UnloadAll() {
    for (QPointer<FormWindow>& window : tOpen)
        if (window && window->isVisible()) window->reject();
}

void FormWindow::done(int result) {
    if (IsWorking()) return;
    try {
        Unloading(result);
    } catch (...) {
        if (!failure_) failure_ = std::current_exception();
    }
    QDialog::done(result);
    ReturnFocus(parentWidget());
}

void FormWindow::keyPressEvent(QKeyEvent* event) {
    // A focused button has taken its Enter already; what reaches the window
    // came from a box, where Qt would click the first button that ever had
    // the focus.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void ReturnFocus(QWidget* opener) {
    if (opener && opener->isVisible()) opener->window()->activateWindow();
}

}  // namespace pelmar::gui
