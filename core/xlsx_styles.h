#pragma once
// The workbook's cell styles, for one question only: does a cell of style
// `s` show a date? A number cell that does is read as an ISO date.
#include <cstdint>
#include <string>
#include <vector>

#include "core/xlsx_zip.h"

namespace pelmar::xlsx {

class CellStyles {
public:
    // Reads the styles part `part`; an empty name leaves no style a date.
    void Load(const ZipArchive& archive, const std::string& part);

    bool IsDate(uint32_t style) const noexcept { return style < dates_.size() && dates_[style]; }

private:
    std::vector<bool> dates_;  // by the cell format's index (a cell's "s")
};

}  // namespace pelmar::xlsx
