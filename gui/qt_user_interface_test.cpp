#include "gui/qt_user_interface.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QMessageBox>
#include <QPushButton>

#include "gui/gui_test_support.h"

namespace pelmar::gui {
namespace {

TEST(QtUserInterfaceTest, BoxesCarryTheTitleAndTheIconOfTheirStyle) {
    test::TestApplication();
    const struct {
        int32_t style;
        QMessageBox::Icon icon;
    } cases[] = {{msgbox::Critical, QMessageBox::Critical},
                 {msgbox::Exclamation, QMessageBox::Warning},
                 {msgbox::Information, QMessageBox::Information},
                 {msgbox::OkOnly, QMessageBox::NoIcon}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.style);
        test::WhenModal(QString(), [&](QWidget& window) {
            auto& box = static_cast<QMessageBox&>(window);
            EXPECT_EQ(box.windowTitle(), kProductTitle);
            EXPECT_EQ(box.icon(), c.icon);
            EXPECT_EQ(box.text(), "An error has occurred while reading file.\nFor detail view log.");
            box.button(QMessageBox::Ok)->click();
        });
        EXPECT_EQ(QtUserInterface().ShowMessageBox("An error has occurred while reading file.\r\nFor detail view log.",
                                                   c.style, kProductTitle),
                  msgbox::ResultOk);
    }
}

TEST(QtUserInterfaceTest, ClipboardTextAndTheBusyPointer) {
    test::TestApplication();
    QGuiApplication::clipboard()->setText(QStringLiteral("12"));
    EXPECT_EQ(QtUserInterface().ClipboardText(), "12");
    QGuiApplication::clipboard()->clear();
    EXPECT_EQ(QtUserInterface().ClipboardText(), std::nullopt);

    BusyPointer busy;
    busy.Set(true);
    busy.Set(true);  // asked twice, set once
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    busy.Set(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
}  // namespace pelmar::gui
