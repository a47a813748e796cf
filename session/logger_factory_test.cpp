#include "session/logger_factory.h"

#include <gtest/gtest.h>

#include "common/general.h"
#include "common/ui.h"

namespace pelmar {
namespace {

TEST(LoggerFactoryTest, DefaultLoggerAndNotificationsShowThroughTheThreadHook) {
    auto ui = std::make_shared<RecordingUserInterface>();
    SetUserInterface(ui);
    CreateEventLogger()->ShowMessage("User has been either deleted or disabled.", msgbox::Critical);
    ShowNotification("Please enter valid row no.", msgbox::Exclamation);
    SetUserInterface(nullptr);

    ASSERT_EQ(ui->messages.size(), 2u);
    EXPECT_EQ(ui->messages[0].prompt, "User has been either deleted or disabled.");
    EXPECT_EQ(ui->messages[0].style, 16);
    EXPECT_EQ(ui->messages[1].style, 48);
    for (const auto& m : ui->messages) EXPECT_EQ(m.title, "Orvanta Notification Server");
}

}  // namespace
}  // namespace pelmar
