#include "core/record_store.h"

#include <gtest/gtest.h>

#include "common/error.h"

namespace pelmar {
namespace {

TEST(RecordStore, KeepsRowsOfAnySizeApartAndRefusesReadsOutsideThem) {
    RecordStore store;
    store.Reserve(1, 1, 1);  // smaller than needed: it still grows
    for (int32_t line = 1; line <= 20000; ++line) {
        store.AddRow(line, std::to_string(line));
        for (int32_t j = 1; j <= line % 4; ++j) store.AddSubItem(std::to_string(line * 10 + j));
    }
    for (int32_t row = 1; row <= 20000; row += 997) {
        EXPECT_EQ(store.RowKey(row), "CN" + std::to_string(row));
        EXPECT_EQ(store.RowText(row), std::to_string(row));
        ASSERT_EQ(store.SubItemCount(row), row % 4);
        for (int32_t j = 1; j <= row % 4; ++j) EXPECT_EQ(store.SubItem(row, j), std::to_string(row * 10 + j));
    }
    EXPECT_THROW(store.RowText(20001), Error);
    EXPECT_THROW(store.SubItem(1, 0), Error);
    EXPECT_THROW(store.SubItem(1, 2), Error);
    EXPECT_THROW(RecordStore().AddSubItem("x"), Error);
}

}  // namespace
}  // namespace pelmar
