#include "core/phone_parse_ahead.h"

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>
#include <thread>

namespace pelmar {
namespace {

// Numbers of every outcome, each one different, some with no region.
std::vector<PhoneRequest> Requests(std::size_t count) {
    const PhoneRequest kinds[] = {{"098200", "IN"},        {"+44 20 7946 ", "IN"}, {"0151 2345", "DE"},
                                  {"1-800-FLOWERS", "US"}, {"98200", ""},          {"0812", "ID"}};
    std::vector<PhoneRequest> requests;
    for (std::size_t i = 0; i < count; ++i) {
        const PhoneRequest& kind = kinds[i % std::size(kinds)];
        std::string digits = std::to_string(10000 + i);
        requests.push_back({kind.text + digits.substr(digits.size() - 4), kind.region});
    }
    return requests;
}

void ExpectSame(const std::optional<ParsedPhone>& got, const PhoneRequest& request, std::size_t index) {
    ASSERT_EQ(got.has_value(), !request.region.empty()) << index;
    if (!got) return;
    const ParsedPhone expected = ParsePhone(request.text, request.region);
    EXPECT_EQ(got->e164, expected.e164) << index;
    EXPECT_EQ(got->reason, expected.reason) << index;
    EXPECT_EQ(got->region, expected.region) << index;
}

// Small blocks and a short window, so that both threads take many turns;
// too few numbers for a worker.
TEST(PhoneParseAhead, ResultsComeInTheRunsOrder) {
    for (const std::size_t count : {1000, 3}) {
        const std::vector<PhoneRequest> requests = Requests(count);
        PhoneParseAhead ahead(requests, 7, 3);
        for (std::size_t i = 0; i < requests.size(); ++i) ExpectSame(ahead.Take(i), requests[i], i);
    }
}

TEST(PhoneParseAhead, TheWorkerParsesAheadOfARunThatTakesNothingYet) {
    const std::vector<PhoneRequest> requests = Requests(400);
    PhoneParseAhead ahead(requests, 8, 100);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (ahead.ParsedByWorker() < requests.size() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(ahead.ParsedByWorker(), requests.size());
    ExpectSame(ahead.Take(399), requests[399], 399);
}

TEST(PhoneParseAhead, NumbersCanBePassedOverAndTheWorkerStoppedEarly) {
    const std::vector<PhoneRequest> requests = Requests(20000);
    {
        PhoneParseAhead untouched(requests, 64, 4);  // never taken from: stopped by its end
    }
    PhoneParseAhead ahead(requests, 5, 2);
    for (const std::size_t i : {0u, 1u, 3u, 40u, 41u, 120u}) ExpectSame(ahead.Take(i), requests[i], i);
    ahead.Stop();
    for (const std::size_t i : {121u, 700u, 19999u}) ExpectSame(ahead.Take(i), requests[i], i);
    EXPECT_THROW(ahead.Take(100), std::logic_error);
    EXPECT_THROW(ahead.Take(20000), std::out_of_range);
}

}  // namespace
}  // namespace pelmar
