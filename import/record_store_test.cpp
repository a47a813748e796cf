#include "import/record_store.h"

#include <gtest/gtest.h>

#include "common/error.h"

namespace {

using pelmar::RecordStore;

TEST(RecordStore, KeepsRowsAndSubItemsApart) {
    RecordStore store;
    store.SetColumnCount(3);
    store.AddRow(2, "Ann");
    store.AddSubItem("");
    store.AddSubItem("98100");
    store.AddRow(5, "");
    store.AddRow(7, "Bob");
    store.AddSubItem("x y");

    EXPECT_EQ(store.ColumnCount(), 3);
    EXPECT_EQ(RecordStore::ColumnCaption(2), "Col2");
    ASSERT_EQ(store.RowCount(), 3);
    EXPECT_EQ(store.RowKey(1), "CN2");
    EXPECT_EQ(store.RowLine(3), 7);
    EXPECT_EQ(store.RowText(1), "Ann");
    EXPECT_EQ(store.SubItemCount(1), 2);
    EXPECT_EQ(store.SubItem(1, 1), "");
    EXPECT_EQ(store.SubItem(1, 2), "98100");
    EXPECT_EQ(store.RowText(2), "");
    EXPECT_EQ(store.SubItemCount(2), 0);
    EXPECT_EQ(store.SubItem(3, 1), "x y");
}

TEST(RecordStore, OutOfRangeReadsThrowSubscriptOutOfRange) {
    RecordStore store;
    store.AddRow(1, "a");
    store.AddSubItem("b");
    auto number = [](auto read) {
        try {
            read();
        } catch (const pelmar::Error& e) {
            return e.Number();
        }
        return 0;
    };
    const int32_t out = pelmar::errnum::SubscriptOutOfRange;
    EXPECT_EQ(number([&] { store.RowText(0); }), out);
    EXPECT_EQ(number([&] { store.RowText(2); }), out);
    EXPECT_EQ(number([&] { store.RowKey(-1); }), out);
    EXPECT_EQ(number([&] { store.SubItem(1, 0); }), out);
    EXPECT_EQ(number([&] { store.SubItem(1, 2); }), out);
    EXPECT_EQ(number([&] { RecordStore().AddSubItem("x"); }), out);
}

TEST(RecordStore, ManyRowsReadBackExactly) {
    RecordStore store;
    store.Reserve(10, 10, 10);  // smaller than needed: it still grows
    for (int32_t i = 1; i <= 20000; ++i) {
        store.AddRow(i, std::to_string(i));
        for (int32_t j = 1; j <= i % 4; ++j) store.AddSubItem(std::string(static_cast<std::size_t>(j), 'a' + j));
    }
    for (int32_t i = 1; i <= 20000; i += 997) {
        EXPECT_EQ(store.RowText(i), std::to_string(i));
        ASSERT_EQ(store.SubItemCount(i), i % 4);
        for (int32_t j = 1; j <= i % 4; ++j) {
            EXPECT_EQ(store.SubItem(i, j), std::string(static_cast<std::size_t>(j), 'a' + j));
        }
    }
    EXPECT_GT(store.MemoryUsage(), 0u);
}

}  // namespace
