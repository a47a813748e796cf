#pragma once
// A run's mobile numbers parsed ahead of it. The run knows every record
// before it starts, so the numbers are handed over at once and parsed in
// blocks: by a worker thread from the front, and by the run's own thread
// whenever the block it needs is not done yet (it takes the next free block
// rather than wait, so that parsing keeps both cores busy). The run takes
// the results in its own order, so its counts and log are those of a run that
// parsed each number as it came to it.
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <exception>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/phone_number.h"

namespace pelmar {

struct PhoneRequest {
    std::string text;    // the number as the record holds it
    std::string region;  // the region to parse it for; empty: not parsed
};

class PhoneParseAhead {
public:
    // Starts parsing. At most `blocksAhead` blocks of `blockSize` numbers
    // are parsed beyond the one the run takes from, so that the results
    // held stay few whatever the run's length.
    explicit PhoneParseAhead(std::vector<PhoneRequest> requests, std::size_t blockSize = 64,
                             std::size_t blocksAhead = 64);
    // Stops the worker after the block it is on.
    ~PhoneParseAhead();

    PhoneParseAhead(const PhoneParseAhead&) = delete;
    PhoneParseAhead& operator=(const PhoneParseAhead&) = delete;

    // The result of request `index`, nothing when it had no region. Indexes
    // go up from one call to the next (some may be passed over); each result
    // is taken once. A failure of the parsing (out of memory) is thrown here.
    std::optional<ParsedPhone> Take(std::size_t index);

    // Ends the worker early (the run was stopped); Take still works, parsing
    // on the caller's thread.
    void Stop();

    std::size_t Size() const noexcept { return requests_.size(); }
    // How many numbers the worker has parsed (the rest were parsed by Take).
    std::size_t ParsedByWorker() const noexcept { return parsedByWorker_.load(std::memory_order_relaxed); }

private:
    struct Block {
        bool done = false;  // under mutex_; results written before, by whoever claimed it
        std::vector<std::optional<ParsedPhone>> results;
        std::exception_ptr failure;
    };

    // Under `lock`: claims the next block the window allows and parses it
    // with the lock released; the count of its numbers, 0 when there was
    // none to claim.
    std::size_t ParseNextBlock(std::unique_lock<std::mutex>& lock);
    void Parse(std::size_t block);
    void Work();

    const std::vector<PhoneRequest> requests_;
    const std::size_t blockSize_;
    const std::size_t blocksAhead_;
    std::vector<Block> blocks_;

    std::mutex mutex_;
    std::condition_variable changed_;
    std::size_t nextBlock_ = 0;   // the first block nobody claimed
    std::size_t takenBlock_ = 0;  // the block Take is at; earlier ones are freed
    bool stop_ = false;
    std::atomic<std::size_t> parsedByWorker_ = 0;
    std::thread worker_;  // last: started once the rest is set up
};

}  // namespace pelmar
