#include "core/held_lines.h"

#include <gtest/gtest.h>

namespace pelmar {
namespace {

using Kind = HeldLines::Kind;

std::vector<std::string> Released(HeldLines& held) {
    std::vector<std::string> out;
    held.Release(
        [&](Kind kind, const std::string& text) { out.push_back((kind == Kind::Reject ? "bad: " : "log: ") + text); });
    return out;
}

TEST(HeldLinesTest, ALateFailureTakesTheRecordsPlace) {
    const struct {
        int32_t failed;
        std::vector<std::string> expected;
    } cases[] = {
        {2, {"log: 1 rejected", "log: 2 read", "log: 2 failed", "bad: 2", "log: 3 stored", "log: 5 rejected"}},
        {3, {"log: 1 rejected", "log: 2 read", "log: 2 stored", "log: 3 failed", "bad: 3", "log: 5 rejected"}},
        {4,
         {"log: 1 rejected", "log: 2 read", "log: 2 stored", "log: 3 stored", "log: 4 failed", "bad: 4",
          "log: 5 rejected"}},
        {9,
         {"log: 1 rejected", "log: 2 read", "log: 2 stored", "log: 3 stored", "log: 5 rejected", "log: 9 failed",
          "bad: 9"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failed);
        HeldLines held;
        held.Hold(1, Kind::Log, "1 rejected");
        held.Hold(2, Kind::Log, "2 read");
        held.Hold(2, Kind::Stored, "2 stored");
        held.Hold(3, Kind::Stored, "3 stored");
        held.Hold(5, Kind::Log, "5 rejected");
        held.PlaceFailure(c.failed, std::to_string(c.failed) + " failed", std::to_string(c.failed));
        EXPECT_EQ(Released(held), c.expected);
        EXPECT_TRUE(held.Empty());
    }
}

}  // namespace
}  // namespace pelmar
