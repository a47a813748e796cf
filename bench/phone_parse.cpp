// bench_phone_parse [COUNT] [WORK_US]: the mobile numbers of a run parsed by
// a single-threaded loop, then by PhoneParseAhead while the run's thread
// spends WORK_US microseconds on each record (the batched import's own cost
// a record, about 6 µs here), and the ratio of the two rates. Indian numbers
// in their four spellings, one in thirty invalid. Two threads parsing half
// the numbers each show what the machine and libphonenumber allow.
//
// bench_phone_parse --loop FILE: the single-threaded loop alone over the
// sixth field of each line of a generated file (bench/generate), parsed for
// IN; prints the count of valid numbers. bench/run times it as a whole.
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/phone_parse_ahead.h"

namespace {

using Clock = std::chrono::steady_clock;

std::vector<pelmar::PhoneRequest> Numbers(std::size_t count) {
    static const char* const kSpellings[] = {"09%09zu", "+91 9%04zu %05zu", "919%09zu", "0091 9%09zu"};
    std::vector<pelmar::PhoneRequest> numbers;
    numbers.reserve(count);
    char text[40];
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t n = 820000000 + i * 7919 % 100000000;
        const char* spelling = kSpellings[i % 4];
        if (i % 4 == 1)
            std::snprintf(text, sizeof text, spelling, n / 100000 % 10000, n % 100000);
        else
            std::snprintf(text, sizeof text, spelling, n);
        std::string number = text;
        if (i % 30 == 29) number.resize(number.size() - 3);  // too short
        numbers.push_back({number, "IN"});
    }
    return numbers;
}

void Work(double microseconds) {
    if (microseconds <= 0) return;
    const auto end = Clock::now() + std::chrono::nanoseconds(static_cast<long>(microseconds * 1000));
    while (Clock::now() < end) {
    }
}

double Seconds(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The process's processor time, all threads: on a machine other work keeps
// busy, the wall times say little and these say what two free cores would do.
double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

struct Timing {
    double wall;
    double cpu;
};

template <typename F>
Timing Time(F&& run) {
    const auto start = Clock::now();
    const double cpu = CpuSeconds();
    run();
    return {Seconds(start), CpuSeconds() - cpu};
}

}  // namespace

// The sixth field of each line: the generator quotes no field with a comma.
int LoopOverFile(const char* path) {
    std::ifstream file(path, std::ios::binary);
    std::string line;
    std::size_t valid = 0;
    while (std::getline(file, line)) {
        std::size_t start = 0;
        for (int field = 0; field < 5 && start != std::string::npos; ++field) {
            start = line.find(',', start);
            if (start != std::string::npos) ++start;
        }
        if (start == std::string::npos) continue;
        std::string number = line.substr(start, line.find(',', start) - start);
        if (number.size() >= 2 && number.front() == '"') number = number.substr(1, number.size() - 2);
        valid += pelmar::ParsePhone(number, "IN").Valid();
    }
    std::printf("%zu\n", valid);
    return file.bad() ? 1 : 0;
}

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--loop") == 0) return LoopOverFile(argv[2]);
    const std::size_t count = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 20000;
    const double work = argc > 2 ? std::strtod(argv[2], nullptr) : 6.0;
    const std::vector<pelmar::PhoneRequest> numbers = Numbers(count);
    pelmar::ParsePhone("+919820012345", "IN");  // libphonenumber's set-up, out of both timings

    std::size_t validLoop = 0;
    const Timing loop = Time([&] {
        for (const pelmar::PhoneRequest& n : numbers) validLoop += pelmar::ParsePhone(n.text, n.region).Valid();
    });

    // The ceiling: two threads parsing half each, with nothing else to do.
    std::size_t validHalves[2] = {};
    const Timing halves = Time([&] {
        std::jthread second([&] {
            for (std::size_t i = count / 2; i < count; ++i)
                validHalves[1] += pelmar::ParsePhone(numbers[i].text, numbers[i].region).Valid();
        });
        for (std::size_t i = 0; i < count / 2; ++i)
            validHalves[0] += pelmar::ParsePhone(numbers[i].text, numbers[i].region).Valid();
    });

    std::size_t validAhead = 0;
    std::size_t byWorker = 0;
    const Timing ahead = Time([&] {
        pelmar::PhoneParseAhead parser(numbers);
        for (std::size_t i = 0; i < count; ++i) {
            validAhead += parser.Take(i)->Valid();
            Work(work);
        }
        byWorker = parser.ParsedByWorker();
    });

    double load[1] = {};
    getloadavg(load, 1);
    const auto us = [&](double seconds) { return seconds * 1e6 / static_cast<double>(count); };
    std::printf("numbers %zu, valid %zu, load average %.2f\n", count, validLoop, load[0]);
    std::printf("%-44s %9s %9s %8s\n", "", "wall us", "cpu us", "rate x");
    std::printf("%-44s %9.1f %9.1f %8.2f\n", "single-threaded parse loop, a number", us(loop.wall), us(loop.cpu), 1.0);
    std::printf("%-44s %9.1f %9.1f %8.2f\n", "two threads, half each, a number", us(halves.wall), us(halves.cpu),
                loop.wall / halves.wall);
    char row[64];
    std::snprintf(row, sizeof row, "parsed ahead + %.1f us of work, a record", work);
    std::printf("%-44s %9.1f %9.1f %8.2f\n", row, us(ahead.wall), us(ahead.cpu), loop.wall / ahead.wall);
    // What two free cores would give: the loop's time over the larger of the
    // run's processor time halved and its own thread's share (the work).
    const double free = loop.cpu / std::max(ahead.cpu / 2, work * 1e-6 * static_cast<double>(count));
    std::printf("the worker parsed %.0f %% of the numbers\n",
                100.0 * static_cast<double>(byWorker) / static_cast<double>(count));
    std::printf("on two free cores (from cpu): parsed ahead at %.2f times the loop's rate\n", free);
    return validLoop == validAhead && validLoop == validHalves[0] + validHalves[1] ? 0 : 1;
}
