// The component's logging through a session.
#include "session/session_log.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "session/session_state.h"

namespace pelmar {
namespace {

TEST(SessionLogTest, IsValidEmailFollowsTheSyntaxStepsAndRecordsAnOverlongAddressThroughTheSessionLogger) {
    struct RecordingLogger : EventLogger {
        void WriteErrorLog(const std::string& file, const ErrorInfo& error, const std::string& message, LogStamp stamp,
                           LogWrite write) override {
            const bool flagA = stamp == LogStamp::DateTime, flagB = write == LogWrite::Append;
            records.push_back(file + "|" + std::to_string(error.Number) + "|" + message + "|" + (flagA ? "T" : "F") +
                              (flagB ? "T" : "F"));
        }
        std::vector<std::string> records;
    };
    auto logger = std::make_shared<RecordingLogger>();
    SessionState session;
    session.Logger = logger;
    session.LogFilePath = "run.log";
    const struct {
        std::string address;
        bool valid;
    } cases[] = {
        {"a@b.c", true},      {"a.b@c..com", true}, {"a.b@c", true},     {"first.last@example.org", true},
        {"a@@b.c", false},    {"a@b@c.d", false},   {"ab.c", false},     {"a@bc", false},
        {"@a.b", false},      {"a@b.c.", false},    {"a@.bc", false},    {"a.@b.c", false},
        {"a..b@c.d", false},  {"a@b..c", false},    {"", false},         {"Zoë@bücher.de", true},
        {"\xE2.@b.c", false}, {"\xC3@b.c", true},   {"a@b.c\xE2", true}, {"a@b\xC3.", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsValidEmail(session, c.address), c.valid) << c.address;
    EXPECT_TRUE(logger->records.empty());

    // Valid in form, but one character beyond what the position counter holds.
    const std::string address = "a@b." + std::string(32764, 'c');
    EXPECT_FALSE(IsValidEmail(session, address));
    EXPECT_TRUE(IsValidEmail(session, address.substr(0, 32767)));
    std::string wide = "a@b.";  // more bytes than the counter holds, but not more characters
    for (int i = 0; i < 20000; ++i) wide += "ë";
    EXPECT_TRUE(IsValidEmail(session, wide));
    EXPECT_EQ(logger->records, std::vector<std::string>{"run.log|6|Error occurred while validating E-Mail.|TT"});
}

}  // namespace
}  // namespace pelmar
