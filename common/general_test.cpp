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

TEST(GeneralTest, IsNumericKeyPassesDigitsEditingKeysAndNonNegativePastes) {
    auto ui = std::make_shared<RecordingUserInterface>();
    SetUserInterface(ui);
    const struct {
        int16_t key;
        bool blockDot, blockSemicolon;
        std::optional<std::string> clipboard;
        bool passes;
    } cases[] = {
        {'0', true, true, {}, true},
        {'9', true, true, {}, true},
        {8, true, true, {}, true},
        {9, true, true, {}, true},
        {3, true, true, {}, true},
        {'a', true, true, {}, false},
        {'-', true, true, {}, false},
        {13, true, true, {}, false},
        {'.', true, true, {}, false},
        {'.', false, true, {}, true},
        {';', true, true, {}, false},
        {';', true, false, {}, true},
        {22, true, true, "12", true},
        {22, true, true, "1.5", true},
        {22, true, true, "-3", false},
        {22, true, true, "abc", false},
        {22, true, true, std::nullopt, false},
        {22, true, true, "", false},
        {22, true, true, " 0 ", true},
    };
    for (const auto& c : cases) {
        ui->clipboard = c.clipboard;
        EXPECT_EQ(IsNumericKey(c.key, c.blockDot, c.blockSemicolon), c.passes)
            << "key " << c.key << " clipboard " << c.clipboard.value_or("<none>");
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
