#include "core/record_store.h"

#include <gtest/gtest.h>

#include "common/error.h"

#include <memory>
#include <string>
#include <vector>

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
        // Read by position, past the last sub-item is empty, not an error.
        EXPECT_EQ(store.FieldAt(row, 0), std::to_string(row));
        EXPECT_EQ(store.FieldAt(row, row % 4), row % 4 ? std::to_string(row * 10 + row % 4) : std::to_string(row));
        EXPECT_EQ(store.FieldAt(row, row % 4 + 1), "");
    }
    EXPECT_EQ(store.FieldAt(20001, -1), "");
    EXPECT_THROW(store.FieldAt(20001, 0), Error);
    EXPECT_THROW(store.RowText(20001), Error);
    EXPECT_THROW(store.SubItem(1, 0), Error);
    EXPECT_THROW(store.SubItem(1, 2), Error);
    EXPECT_THROW(RecordStore().AddSubItem("x"), Error);
}

// Long lines and rows whose offsets outgrow sixteen bits, read out of a shared text.
TEST(RecordStore, CutRowsReadTheirFieldsOutOfTheLineWhereverItLies) {
    const auto shared = std::make_shared<const std::string>("Ann;\"Lee\";98\r\nBob");
    const std::string longField(70000, 'x');
    const std::string longLine = "a;" + longField + ";c";
    RecordStore store;
    store.ShareText(shared);
    const std::vector<uint32_t> annEnds = {3, 9, 12}, bobEnds = {3}, longEnds = {1, 70002, 70004};
    store.AddLine(1, std::string_view(*shared).substr(0, 12), annEnds, 3, 1);
    store.AddLine(2, std::string_view(*shared).substr(14), bobEnds, 3, 1);  // the rest of the line, then empty
    EXPECT_LT(store.MemoryUsage(), 100u) << "the shared lines are not copied";
    store.AddLine(3, longLine, longEnds, 3, 1);  // copied: not in the shared text
    store.AddRow(4, "given");
    store.AddSubItem(longField);
    store.AddSubItem("after");
    const std::vector<std::vector<std::string>> rows = {
        {"Ann", "Lee", "98"}, {"Bob", "", ""}, {"a", longField, "c"}, {"given", longField, "after"}};
    for (int32_t row = 1; row <= 4; ++row) {
        const auto& want = rows[static_cast<std::size_t>(row - 1)];
        EXPECT_EQ(store.RowText(row), want[0]) << row;
        ASSERT_EQ(store.SubItemCount(row), 2) << row;
        for (int32_t i = 1; i <= 2; ++i) EXPECT_EQ(store.SubItem(row, i), want[static_cast<std::size_t>(i)]) << row;
    }
}

}  // namespace
}  // namespace pelmar
