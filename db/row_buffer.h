#pragma once
// The rows a client-side cursor holds, packed back to back in one buffer:
// a type byte and the value's bytes for every field. A row of short texts
// takes little more than its text, where a row of Values took some forty
// bytes a field before its text (an export holds every row of the table).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "db/value.h"

namespace pelmar::db::detail {

class RowBuffer {
public:
    void Append(const std::vector<Value>& row);
    std::size_t Rows() const noexcept { return starts_.size(); }
    // Row `index` into `row` (whose Values' room is reused).
    void Read(std::size_t index, std::vector<Value>& row) const;

private:
    std::string bytes_;
    std::vector<uint64_t> starts_;
};

}  // namespace pelmar::db::detail
