#include "core/phone_parse_ahead.h"

#include <algorithm>
#include <stdexcept>

#include "core/phone_library.h"

namespace pelmar {

PhoneParseAhead::PhoneParseAhead(std::vector<PhoneRequest> requests, std::size_t blockSize, std::size_t blocksAhead)
        : requests_(std::move(requests)),
          blockSize_(std::max<std::size_t>(blockSize, 1)),
          blocksAhead_(std::max<std::size_t>(blocksAhead, 1)),
          blocks_((requests_.size() + blockSize_ - 1) / blockSize_) {
    // libphonenumber's instance is made here, not raced for by two threads.
    PhoneUtil();
    if (blocks_.size() > 1) worker_ = std::thread([this] { Work(); });
}

PhoneParseAhead::~PhoneParseAhead() { Stop(); }

void PhoneParseAhead::Stop() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
    }
    changed_.notify_all();
    if (worker_.joinable()) worker_.join();
}

void PhoneParseAhead::Parse(std::size_t block) {
    Block& b = blocks_[block];
    try {
        const std::size_t first = block * blockSize_;
        const std::size_t end = std::min(first + blockSize_, requests_.size());
        b.results.reserve(end - first);
        for (std::size_t i = first; i < end; ++i) {
            const PhoneRequest& request = requests_[i];
            if (request.region.empty())
                b.results.emplace_back();
            else
                b.results.emplace_back(ParsePhone(request.text, request.region));
        }
    } catch (...) {
        b.failure = std::current_exception();
    }
}

std::size_t PhoneParseAhead::ParseNextBlock(std::unique_lock<std::mutex>& lock) {
    if (nextBlock_ >= blocks_.size() || nextBlock_ >= takenBlock_ + blocksAhead_) return 0;
    const std::size_t block = nextBlock_++;
    lock.unlock();
    Parse(block);
    lock.lock();
    blocks_[block].done = true;
    changed_.notify_all();
    return std::min(blockSize_, requests_.size() - block * blockSize_);
}

void PhoneParseAhead::Work() {
    std::unique_lock lock(mutex_);
    while (!stop_ && nextBlock_ < blocks_.size()) {
        if (const std::size_t parsed = ParseNextBlock(lock))
            parsedByWorker_ += parsed;
        else
            changed_.wait(lock);
    }
}

std::optional<ParsedPhone> PhoneParseAhead::Take(std::size_t index) {
    if (index >= requests_.size()) throw std::out_of_range("no such phone number request");
    const std::size_t block = index / blockSize_;
    std::unique_lock lock(mutex_);
    if (block < takenBlock_) throw std::logic_error("phone numbers taken out of order");
    // The blocks passed are done with; one still being parsed is left to finish.
    if (takenBlock_ < block) {
        for (; takenBlock_ < block; ++takenBlock_) {
            Block& passed = blocks_[takenBlock_];
            if (passed.done) std::vector<std::optional<ParsedPhone>>().swap(passed.results);
        }
        changed_.notify_all();  // the window moved on
    }
    while (!blocks_[block].done) {
        if (ParseNextBlock(lock) == 0) changed_.wait(lock);
    }
    Block& b = blocks_[block];
    if (b.failure) std::rethrow_exception(b.failure);
    return std::move(b.results[index - block * blockSize_]);
}

}  // namespace pelmar
