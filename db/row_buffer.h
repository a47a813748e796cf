#pragma once
// The rows a client-side cursor holds, packed back to back: a type byte and
// the value's bytes for every field, a text's length in as few bytes as it
// needs. A row of short texts takes little more than its text, where a row of
// Values took some forty bytes a field before its text (an export holds every
// row of the table). The bytes live in blocks that never move, so that
// holding more rows never copies those held already.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "db/value.h"

namespace pelmar::db::detail {

class RowBuffer {
public:
    static constexpr std::size_t kBlockSize = std::size_t{1} << 20;

    void Append(const std::vector<Value>& row);
    std::size_t Rows() const noexcept { return starts_.size(); }
    // Row `index` into `row` (whose Values' room is reused).
    void Read(std::size_t index, std::vector<Value>& row) const;

private:
    struct Start {
        uint32_t block;
        uint32_t offset;
    };

    std::vector<std::string> blocks_;  // each reserved once; a row never spans two
    std::deque<Start> starts_;
};

}  // namespace pelmar::db::detail
