#include "eventlogger/event_logger.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <string>

#include "testing/temp_dir.h"
#include "testing/thrown.h"

namespace pelmar {
namespace {

using test::ReadFile;
using test::TempDir;

const std::regex kStamp(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d )");

TEST(EventLoggerTest, OneLinePerCallStampedOnlyWithFlagAInAFileCreatedWithItsFolders) {
    TempDir dir;
    const std::string file = dir.file("logs/2024/ImportExport.log");
    EventLogger logger;
    logger.WriteLog(file, "dropped by the next call", LogStamp::None, LogWrite::Append);
    logger.WriteLog(file, "PelmarImpExp: Starting initialization routine...", LogStamp::DateTime,
                    LogWrite::Truncate);  // afresh
    logger.WriteLog(file, "PelmarImpExp: plain", LogStamp::None, LogWrite::Append);
    logger.WriteErrorLog(file, {-2147467259, "[unixODBC]refused\nIs the server running?\r\nbye", "ODBC"},
                         "PelmarImpExp: Error occured. Sub: Init, Module: Manager", LogStamp::None, LogWrite::Append);
    logger.WriteErrorLog(file, {6, "Overflow", "PelmarImpExp"}, "Error occurred while validating E-Mail.",
                         LogStamp::DateTime, LogWrite::Append);

    const std::string stamped = std::regex_replace(ReadFile(file), kStamp, "<stamp> ");
    EXPECT_EQ(stamped,
              "<stamp> PelmarImpExp: Starting initialization routine...\n"
              "PelmarImpExp: plain\n"
              "PelmarImpExp: Error occured. Sub: Init, Module: Manager [Error -2147467259: "
              "[unixODBC]refused Is the server running? bye; Source: ODBC]\n"
              "<stamp> Error occurred while validating E-Mail. [Error 6: Overflow; Source: PelmarImpExp]\n");
}

// The logger keeps an appended file open; a log rotated (renamed) or deleted
// between two calls must not swallow the next line.
TEST(EventLoggerTest, ALogRotatedOrDeletedBetweenCallsIsOpenedAfresh) {
    TempDir dir;
    const std::string file = dir.file("impexp.log");
    EventLogger logger;
    logger.WriteLog(file, "one", LogStamp::None, LogWrite::Append);
    std::filesystem::rename(file, file + ".1");
    logger.WriteLog(file, "two", LogStamp::None, LogWrite::Append);
    EXPECT_EQ(ReadFile(file + ".1"), "one\n");
    EXPECT_EQ(ReadFile(file), "two\n");
    std::filesystem::remove(file);
    logger.WriteLog(file, "three", LogStamp::None, LogWrite::Append);
    logger.WriteLog(file, "four", LogStamp::None, LogWrite::Append);
    EXPECT_EQ(ReadFile(file), "three\nfour\n");
}

TEST(EventLoggerTest, UnwritableLogFileThrowsWithARuntimeNumber) {
    TempDir dir;
    test::WriteFile(dir.file("plain"), "x");
    const struct {
        std::string path;
        int32_t number;
    } cases[] = {{dir.file("plain") + "/sub/run.log", 76}, {dir.path().string(), 75}, {"", 75}};
    for (const auto& c : cases)
        EXPECT_EQ(test::ErrorNumberOf(
                      [&] { EventLogger().WriteErrorLog(c.path, {}, "x", LogStamp::None, LogWrite::Append); }),
                  c.number)
            << c.path;
}

}  // namespace
}  // namespace pelmar
