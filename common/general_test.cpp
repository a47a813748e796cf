#include "common/general.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/error.h"
#include "common/ui.h"
#include "testing/temp_dir.h"
#include "testing/thrown.h"

namespace pelmar {
namespace {

using test::ReadFile;
using test::TempDir;

// Digits and the editing keys (backspace, tab, copy) pass; the dot and the
// semicolon only when not blocked; a paste (22) only of a number not below 0.
TEST(GeneralTest, IsNumericKeyPassesDigitsEditingKeysAndNonNegativePastes) {
    auto ui = std::make_shared<RecordingUserInterface>();
    SetUserInterface(ui);
    const std::pair<int16_t, bool> keys[] = {{'0', true},  {'9', true},  {8, true},   {9, true},    {3, true},
                                             {'a', false}, {'-', false}, {13, false}, {'.', false}, {';', false}};
    for (const auto& [key, passes] : keys) EXPECT_EQ(IsNumericKey(key, true, true), passes) << key;
    EXPECT_TRUE(IsNumericKey('.', false, true));
    EXPECT_TRUE(IsNumericKey(';', true, false));
    const std::pair<std::optional<std::string>, bool> pastes[] = {
        {"12", true}, {"1.5", true}, {" 0 ", true}, {"-3", false}, {"abc", false}, {"", false}, {std::nullopt, false}};
    for (const auto& [clipboard, passes] : pastes) {
        ui->clipboard = clipboard;
        EXPECT_EQ(IsNumericKey(22, true, true), passes) << clipboard.value_or("<none>");
    }
    SetUserInterface(nullptr);
}

TEST(GeneralTest, AppendLineCreatesThenAppendsWithCrLfOrReportsWhyItCannotWrite) {
    TempDir dir;
    const std::string file = dir.file("out.csv");
    for (const char* line : {"\"Ann\",\"1\"", "", "Zoë"}) AppendLine(file, line);
    EXPECT_EQ(ReadFile(file), "\"Ann\",\"1\"\r\n\r\nZoë\r\n");
    test::WriteFile(dir.file("plain"), "x");
    for (const auto& [path, number] :
         std::vector<std::pair<std::string, int32_t>>{{dir.file("missing/out.csv"), errnum::PathNotFound},
                                                      {dir.file("plain") + "/out.csv", errnum::PathNotFound},
                                                      {dir.path().string(), errnum::PathFileAccessError}}) {
        const std::string error = test::ErrorOf([&] { AppendLine(path, "line"); });
        EXPECT_TRUE(error.starts_with(std::to_string(number) + ": ") && error.find(path) != error.npos) << error;
    }
}

}  // namespace
}  // namespace pelmar
