#include "common/general.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>

#include "common/error.h"
#include "common/ui.h"
#include "component/session_state.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

using testing::ReadFile;
using testing::TempDir;

TEST(GeneralTest, IsValidEmailFollowsTheSyntaxSteps) {
    const struct {
        std::string address;
        bool valid;
    } cases[] = {
        {"a@b.c", true},        {"a.b@c..com", true},  {"a.b@c", true},     {"first.last@example.org", true},
        {"a@@b.c", false},      {"a@b@c.d", false},    {"ab.c", false},     {"a@bc", false},
        {"@a.b", false},        {"a@b.c.", false},     {"a@.bc", false},    {"a.@b.c", false},
        {"a..b@c.d", false},    {"a@b..c", false},     {"", false},         {"Zoë@bücher.de", true},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidEmail(c.address), c.valid) << c.address;
}

class GeneralLogTest : public ::testing::Test {
protected:
    void SetUp() override {
        Session().LogFilePath = dir.file("run.log");
        Session().Logger.reset();
    }
    void TearDown() override {
        Session().LogFilePath.clear();
        Session().Logger.reset();
    }
    TempDir dir;
};

TEST_F(GeneralLogTest, OverlongEmailIsRecordedAndInvalid) {
    // Valid in form, but one character beyond what the position counter holds.
    const std::string address = "a@b." + std::string(32764, 'c');
    ASSERT_EQ(address.size(), 32768u);
    EXPECT_FALSE(IsValidEmail(address));
    EXPECT_TRUE(IsValidEmail(address.substr(0, 32767)));

    const std::string log = ReadFile(Session().LogFilePath);
    EXPECT_NE(log.find("Error occurred while validating E-Mail. [Error 6: Overflow; Source: PelmarImpExp]"),
              std::string::npos)
        << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
}

TEST_F(GeneralLogTest, OverlongEmailUsesTheSessionLoggerWhenThereIsOne) {
    struct CountingLogger : EventLogger {
        void WriteErrorLog(const std::string& file, const ErrorInfo& error, const std::string& message,
                           bool flagA, bool flagB) override {
            ++calls;
            EXPECT_EQ(file, Session().LogFilePath);
            EXPECT_EQ(error.Number, errnum::Overflow);
            EXPECT_EQ(message, "Error occurred while validating E-Mail.");
            EXPECT_TRUE(flagA);
            EXPECT_TRUE(flagB);
        }
        int calls = 0;
    };
    auto logger = std::make_shared<CountingLogger>();
    Session().Logger = logger;
    EXPECT_FALSE(IsValidEmail(std::string(40000, 'x')));
    EXPECT_EQ(logger->calls, 1);
}

TEST(GeneralTest, IsNumericKeyPassesDigitsEditingKeysAndNonNegativePastes) {
    auto ui = std::make_shared<RecordingUserInterface>();
    SetUserInterface(ui);
    const struct {
        int16_t key;
        bool blockDot, blockSemicolon;
        std::optional<std::string> clipboard;
        bool passes;
    } cases[] = {
        {'0', true, true, {}, true},       {'9', true, true, {}, true},      {8, true, true, {}, true},
        {9, true, true, {}, true},         {3, true, true, {}, true},        {'a', true, true, {}, false},
        {'-', true, true, {}, false},      {13, true, true, {}, false},      {'.', true, true, {}, false},
        {'.', false, true, {}, true},      {';', true, true, {}, false},     {';', true, false, {}, true},
        {22, true, true, "12", true},      {22, true, true, "1.5", true},    {22, true, true, "-3", false},
        {22, true, true, "abc", false},    {22, true, true, std::nullopt, false}, {22, true, true, "", false},
        {22, true, true, " 0 ", true},
    };
    for (const auto& c : cases) {
        ui->clipboard = c.clipboard;
        EXPECT_EQ(IsNumericKey(c.key, c.blockDot, c.blockSemicolon), c.passes)
            << "key " << c.key << " clipboard " << c.clipboard.value_or("<none>");
    }
    SetUserInterface(nullptr);
}

TEST(GeneralTest, AppendLineCreatesThenAppendsWithCrLf) {
    TempDir dir;
    const std::string file = dir.file("out.csv");
    AppendLine(file, "\"Ann\",\"1\"");
    EXPECT_EQ(ReadFile(file), "\"Ann\",\"1\"\r\n");
    AppendLine(file, "");
    AppendLine(file, "Zoë");
    EXPECT_EQ(ReadFile(file), "\"Ann\",\"1\"\r\n\r\nZoë\r\n");
}

TEST(GeneralTest, AppendLineReportsWhyItCannotWrite) {
    TempDir dir;
    testing::WriteFile(dir.file("plain"), "x");
    const struct {
        std::string path;
        int32_t number;
    } cases[] = {
        {dir.file("missing/out.csv"), errnum::PathNotFound},
        {dir.file("plain") + "/out.csv", errnum::PathNotFound},
        {dir.path().string(), errnum::PathFileAccessError},
    };
    for (const auto& c : cases) {
        try {
            AppendLine(c.path, "line");
            ADD_FAILURE() << c.path << " did not fail";
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), c.number) << c.path;
            EXPECT_NE(e.Description().find(c.path), std::string::npos) << e.Description();
        }
    }
}

TEST(GeneralTest, NullToTextUsesTheDefaultOnlyForNull) {
    EXPECT_EQ(NullToText(db::Value(db::Null{}), ""), "");
    EXPECT_EQ(NullToText(db::Value(db::Null{}), "n/a"), "n/a");
    EXPECT_EQ(NullToText(db::Value(int32_t{5}), "n/a"), "5");
    EXPECT_EQ(NullToText(db::Value(), "n/a"), "");
    EXPECT_EQ(NullToText(db::Value("Ann"), "n/a"), "Ann");
}

}  // namespace
}  // namespace pelmar
