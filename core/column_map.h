#pragma once
// ColumnMap: which source column feeds which contact field. 21 entries,
// numbered 1 to 21; each pairs a source column's 0-based position in the
// preview list (decimal text, "-1" when free) with a destination field name.
// Lookups scan entries 1 to 21 and take the first match.
#include <array>
#include <string>

namespace pelmar {

struct ColumnMapEntry {
    std::string SourcePosition;
    std::string FieldName;
};

class ColumnMap {
public:
    static constexpr int kEntries = 21;

    // Entry n, 1 to 21; throws errnum::SubscriptOutOfRange otherwise.
    ColumnMapEntry& operator[](int n);
    const ColumnMapEntry& operator[](int n) const;

    // Every entry free: position "-1" and an empty field name.
    void Reset();

private:
    std::array<ColumnMapEntry, kEntries> entries_{};
};

}  // namespace pelmar
