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

    std::string shown;
    for (const auto& m : ui->messages) shown += m.prompt + "|" + std::to_string(m.style) + "|" + m.title + "\n";
    EXPECT_EQ(shown,
              "User has been either deleted or disabled.|16|Orvanta Notification Server\n"
              "Please enter valid row no.|48|Orvanta Notification Server\n");
}

}  // namespace
}  // namespace pelmar
