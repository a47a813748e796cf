// The log `pelmar` falls back to when the program's folder cannot be written.
#include "cli/default_log.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "testing/temp_dir.h"

namespace pelmar::cli {
namespace {

namespace fs = std::filesystem;

TEST(UserLogFileTest, MovesToTheStateFolderOnlyWhenTheComponentsLogCannotBeWrittenAndMakesIt) {
    test::TempDir dir;
    // No folder can be written that does not exist, whoever runs the test.
    const std::string unwritable = dir.file("gone/ImportExport.log");
    const std::string state = dir.file("state");
    const std::string home = dir.file("home");
    const struct {
        std::string log;
        const char* stateHome;
        const char* home;
        std::string expected;
    } cases[] = {
        {dir.file("ImportExport.log"), state.c_str(), home.c_str(), ""},  // it can be written: kept
        {unwritable, state.c_str(), home.c_str(), state + "/pelmar/ImportExport.log"},
        {unwritable, nullptr, home.c_str(), home + "/.local/state/pelmar/ImportExport.log"},
        {unwritable, "", home.c_str(), home + "/.local/state/pelmar/ImportExport.log"},
        {unwritable, "relative/state", home.c_str(), home + "/.local/state/pelmar/ImportExport.log"},
        {unwritable, nullptr, nullptr, ""},
        {unwritable, nullptr, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(UserLogFile(c.log, c.stateHome, c.home), c.expected);
        if (c.expected.empty()) {
            EXPECT_FALSE(fs::exists(state + "/pelmar"));  // nothing made
            continue;
        }
        const fs::path folder = fs::path(c.expected).parent_path();
        EXPECT_EQ(fs::status(folder).permissions() & fs::perms::all, fs::perms::owner_all);
        fs::remove_all(folder);
    }
    EXPECT_FALSE(fs::exists("relative"));
}

}  // namespace
}  // namespace pelmar::cli
