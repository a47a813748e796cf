// The log `pelmar` falls back to when the program's folder cannot be written.
#include "cli/default_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "testing/temp_dir.h"

namespace pelmar::cli {
namespace {

namespace fs = std::filesystem;

TEST(UserLogFileTest, KeepsTheComponentsLogWhereItCanBeWritten) {
    test::TempDir dir;
    const std::string state = dir.file("state");
    EXPECT_EQ(UserLogFile(dir.file("ImportExport.log"), state.c_str(), "/home/u"), "");
    EXPECT_FALSE(fs::exists(state));
}

TEST(UserLogFileTest, MovesToTheStateFolderOtherwiseAndMakesIt) {
    test::TempDir dir;
    // No folder can be written that does not exist, whoever runs the test.
    const std::string unwritable = dir.file("gone/ImportExport.log");
    const std::string state = dir.file("state");
    const std::string home = dir.file("home");
    const struct {
        const char* stateHome;
        const char* home;
        std::string expected;
    } cases[] = {
        {state.c_str(), home.c_str(), state + "/pelmar/ImportExport.log"},
        {nullptr, home.c_str(), home + "/.local/state/pelmar/ImportExport.log"},
        {"", home.c_str(), home + "/.local/state/pelmar/ImportExport.log"},
        {"relative/state", home.c_str(), home + "/.local/state/pelmar/ImportExport.log"},
        {nullptr, nullptr, ""},
        {nullptr, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(UserLogFile(unwritable, c.stateHome, c.home), c.expected);
        if (c.expected.empty()) continue;
        const fs::path folder = fs::path(c.expected).parent_path();
        EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
        fs::remove_all(folder);
    }
    EXPECT_FALSE(fs::exists("relative"));
}

}  // namespace
}  // namespace pelmar::cli
