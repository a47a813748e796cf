#include "db/row_buffer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelmar::db::detail {
namespace {

// Rows of every type, texts whose lengths take one, two and three count
// bytes, and enough of them to fill several blocks, a row too large for one.
TEST(RowBufferTest, EveryRowReadsBackAsAppendedAcrossBlocks) {
    std::vector<std::vector<Value>> rows = {
        {},
        {Value(), Null{}, int32_t{-7}, int64_t{1} << 40, 2.5, std::string()},
        {std::string(127, 'a'), std::string(128, 'b'), std::string(20000, 'c')},
        {std::string(RowBuffer::kBlockSize + 3, 'd')},
        {std::string("Mónica\0x", 9)},
    };
    for (int i = 0; i < 30000; ++i) rows.push_back({int32_t{i}, std::string(i % 300, 'x'), Null{}});
    RowBuffer buffer;
    for (const auto& row : rows) buffer.Append(row);
    ASSERT_EQ(buffer.Rows(), rows.size());
    std::vector<Value> read = {std::string("room to reuse")};
    for (std::size_t i = rows.size(); i-- > 0;) {
        buffer.Read(i, read);
        ASSERT_EQ(read, rows[i]) << "row " << i;
    }
}

}  // namespace
}  // namespace pelmar::db::detail
