#include "gui/qt_user_interface.h"

#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <utility>
#include <vector>

#include "common/text.h"
#include "gui/application.h"
#include "gui/form_window.h"

namespace pelmar::gui {
namespace {

// The platform's message box numbers: the low bits choose the buttons, the
// next ones the icon; a pressed button is reported by its own number.
constexpr int32_t kButtonMask = 0x0F;
constexpr int32_t kIconMask = 0x70;

struct ButtonCode {
    QMessageBox::StandardButton button;
    int16_t code;
};

std::vector<ButtonCode> ButtonsOf(int32_t style) {
    constexpr ButtonCode ok{QMessageBox::Ok, 1}, cancel{QMessageBox::Cancel, 2}, abort{QMessageBox::Abort, 3},
        retry{QMessageBox::Retry, 4}, ignore{QMessageBox::Ignore, 5}, yes{QMessageBox::Yes, 6}, no{QMessageBox::No, 7};
    switch (style & kButtonMask) {
        case 1: return {ok, cancel};
        case 2: return {abort, retry, ignore};
        case 3: return {yes, no, cancel};
        case 4: return {yes, no};
        case 5: return {retry, cancel};
        default: return {ok};
    }
}

QMessageBox::Icon IconOf(int32_t style) {
    switch (style & kIconMask) {
        case msgbox::Critical: return QMessageBox::Critical;
        case 32: return QMessageBox::Question;
        case msgbox::Exclamation: return QMessageBox::Warning;
        case msgbox::Information: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

}  // namespace

int16_t QtUserInterface::ShowMessageBox(const std::string& prompt, int32_t style, const std::string& title) {
    GuiApplication();
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    QMessageBox box(IconOf(style), QString::fromStdString(title), QString::fromStdString(NormaliseLineBreaks(prompt)),
                    QMessageBox::NoButton, parent);
    const std::vector<ButtonCode> buttons = ButtonsOf(style);
    for (const ButtonCode& b : buttons) box.addButton(b.button);
    box.setDefaultButton(buttons.front().button);
    box.exec();
    ReturnFocus(parent);
    const auto clicked = box.standardButton(box.clickedButton());
    for (const ButtonCode& b : buttons)
        if (b.button == clicked) return b.code;
    // Closed without a button: as the platform does, the Cancel-like answer.
    return buttons.size() == 1 ? buttons.front().code : buttons.back().code;
}

std::optional<std::string> QtUserInterface::ClipboardText() {
    GuiApplication();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data || !data->hasText()) return std::nullopt;
    return data->text().toStdString();
}

void BusyPointer::Set(bool busy) {
    if (busy == busy_ || !QCoreApplication::instance()) return;
    busy_ = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

}  // namespace pelmar::gui
