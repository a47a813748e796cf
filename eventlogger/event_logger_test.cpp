#include "eventlogger/event_logger.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <regex>
#include <string>

#include "testing/temp_dir.h"

namespace pelmar {
namespace {

using testing::ReadFile;
using testing::TempDir;

const std::regex kStampedLine(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d (.*))");

TEST(EventLoggerTest, WriteLogWritesOneLinePerCallStampedOnlyWithFlagA) {
    TempDir dir;
    const std::string file = dir.file("ImportExport.log");
    EventLogger logger;
    logger.WriteLog(file, "PelmarImpExp: Starting initialization routine...", true, true);
    logger.WriteLog(file, "PelmarImpExp: plain", false, true);
    logger.WriteLog(file, "", false, true);

    const std::string log = ReadFile(file);
    const auto firstEnd = log.find('\n');
    std::smatch match;
    const std::string first = log.substr(0, firstEnd);
    ASSERT_TRUE(std::regex_match(first, match, kStampedLine)) << first;
    EXPECT_EQ(match[1], "PelmarImpExp: Starting initialization routine...");
    EXPECT_EQ(log.substr(firstEnd + 1), "PelmarImpExp: plain\n\n");
}

TEST(EventLoggerTest, FlagBFalseStartsTheFileAfresh) {
    TempDir dir;
    const std::string file = dir.file("a.log");
    EventLogger logger;
    logger.WriteLog(file, "old", false, true);
    logger.WriteLog(file, "new", false, false);
    EXPECT_EQ(ReadFile(file), "new\n");
}

TEST(EventLoggerTest, MissingFoldersAreCreated) {
    TempDir dir;
    const std::string file = dir.file("logs/2024/run.log");
    EventLogger().WriteLog(file, "x", false, true);
    EXPECT_EQ(ReadFile(file), "x\n");
}

TEST(EventLoggerTest, ErrorRecordIsOneLineWithTheErrorDetails) {
    TempDir dir;
    const std::string file = dir.file("e.log");
    EventLogger logger;
    const ErrorInfo error{-2147467259, "[unixODBC]connection refused\nIs the server running?\r\nbye",
                          "Microsoft OLE DB"};
    logger.WriteErrorLog(file, error, "PelmarImpExp: Error occured. Sub: Init, Module: Manager", false, true);
    logger.WriteErrorLog(file, {6, "Overflow", "PelmarImpExp"}, "Error occurred while validating E-Mail.", true,
                         true);

    const std::string log = ReadFile(file);
    const auto firstEnd = log.find('\n');
    EXPECT_EQ(log.substr(0, firstEnd),
              "PelmarImpExp: Error occured. Sub: Init, Module: Manager [Error -2147467259: "
              "[unixODBC]connection refused Is the server running? bye; Source: Microsoft OLE DB]");
    std::smatch match;
    const std::string second = log.substr(firstEnd + 1, log.size() - firstEnd - 2);
    ASSERT_TRUE(std::regex_match(second, match, kStampedLine)) << second;
    EXPECT_EQ(match[1], "Error occurred while validating E-Mail. [Error 6: Overflow; Source: PelmarImpExp]");
}

TEST(EventLoggerTest, UnwritableLogFileThrowsWithARuntimeNumber) {
    TempDir dir;
    testing::WriteFile(dir.file("plain"), "x");
    const struct {
        std::string path;
        int32_t number;
    } cases[] = {
        {dir.file("plain") + "/sub/run.log", 76},
        {dir.path().string(), 75},
        {"", 75},
    };
    for (const auto& c : cases) {
        try {
            EventLogger().WriteLog(c.path, "x", false, true);
            ADD_FAILURE() << c.path << " did not fail";
        } catch (const EventLoggerError& e) {
            EXPECT_EQ(e.Number(), c.number) << c.path;
            EXPECT_NE(std::string(e.what()), "") << c.path;
        }
    }
    EXPECT_THROW(EventLogger().WriteErrorLog(cases[0].path, {}, "x", false, true), EventLoggerError);
}

TEST(EventLoggerTest, DatabaseTypeIsReadFromTheEnvironmentOnEveryCall) {
    EventLogger logger;
    unsetenv("PELMAR_DATABASE_TYPE");
    EXPECT_EQ(logger.DatabaseType(), "");
    setenv("PELMAR_DATABASE_TYPE", "MySQL", 1);
    EXPECT_EQ(logger.DatabaseType(), "MySQL");
    setenv("PELMAR_DATABASE_TYPE", "PostgreSQL", 1);
    EXPECT_EQ(logger.DatabaseType(), "PostgreSQL");
    unsetenv("PELMAR_DATABASE_TYPE");
}

}  // namespace
}  // namespace pelmar
