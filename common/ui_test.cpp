#include "common/ui.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

TEST(ConsoleUserInterfaceTest, PrintsStopBoxesAsErrorsOneLinePerMessageLine) {
    ConsoleUserInterface console;
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(console.ShowMessageBox("An error has occurred while reading file.\r\nFor detail view log.",
                                     msgbox::Critical, kProductTitle),
              msgbox::ResultOk);
    console.ShowMessageBox("Please enter valid row no.", msgbox::Exclamation, kProductTitle);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(),
              "error: An error has occurred while reading file.\nFor detail view log.\n"
              "Please enter valid row no.\n");
    EXPECT_FALSE(console.ClipboardText());
}

}  // namespace
}  // namespace pelmar
