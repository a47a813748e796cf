#pragma once
// The cells of one worksheet, read row by row as its XML inflates: only the
// row being read is held, whatever the size of the sheet.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "core/xlsx_shared_strings.h"
#include "core/xlsx_styles.h"
#include "core/xlsx_workbook.h"

namespace pelmar::xlsx {

class SheetSink {
public:
    virtual ~SheetSink() = default;
    // The sheet's last row as its dimension claims, before the first row;
    // not called when the sheet does not say.
    virtual void Extent(int32_t /*lastRow*/) {}
    // Row `number` (1-based, rising) with its cells as text, the first
    // column first, up to its last cell that is not empty: no cells for a
    // row that holds nothing. A cell that is not there is empty.
    virtual void Row(int32_t number, std::span<const std::string> cells) = 0;
    // The bytes the sink keeps by now: with the row being read they count
    // against the limit of text held.
    virtual std::size_t Held() const { return 0; }
};

// Reads the worksheet of `parts` for `sink`: strings, numbers, booleans,
// dates and the cached values of formulas as text.
void ReadSheet(const ZipArchive& archive, const WorkbookParts& parts, const SharedStrings& strings,
               const CellStyles& styles, const Limits& limits, SheetSink& sink);

// The 1-based column of a cell reference's letters ("B7" is 2), 0 when it
// has none or more than the 16,384 columns a sheet has.
int32_t ColumnOfReference(std::string_view reference);

}  // namespace pelmar::xlsx
