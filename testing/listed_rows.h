#pragma once
// A listing's rows on one line, as the tests compare them: "key:text|sub|sub "
// for each row, so a missing, extra or moved field shows in the text.

#include <string>

#include "core/record_store.h"

namespace pelmar::test {

inline std::string ListedRows(const RecordStore& rows) {
    std::string text;
    for (int32_t r = 1; r <= rows.RowCount(); ++r) {
        text += rows.RowKey(r) + ":" + std::string(rows.RowText(r));
        for (int32_t i = 1; i <= rows.SubItemCount(r); ++i) text += "|" + std::string(rows.SubItem(r, i));
        text += " ";
    }
    return text;
}

}  // namespace pelmar::test
