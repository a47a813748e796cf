#include "core/column_map.h"

#include "common/error.h"

namespace pelmar {

ColumnMapEntry& ColumnMap::operator[](int n) {
    if (n < 1 || n > kEntries) throw Error(errnum::SubscriptOutOfRange, "Subscript out of range");
    return entries_[static_cast<std::size_t>(n - 1)];
}

const ColumnMapEntry& ColumnMap::operator[](int n) const { return const_cast<ColumnMap&>(*this)[n]; }

void ColumnMap::Reset() {
    for (auto& entry : entries_) entry = {"-1", ""};
}

}  // namespace pelmar
