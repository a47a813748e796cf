#pragma once
// Finding a sheet in the package: the package's relationships name the
// workbook part, the workbook lists its sheets by name, and the workbook's
// relationships name each sheet's part, the shared strings and the styles.
#include <string>
#include <string_view>

#include "core/xlsx_zip.h"

namespace pelmar::xlsx {

struct WorkbookParts {
    std::string sheetName;
    std::string sheet;          // the worksheet's part
    std::string sharedStrings;  // empty when the workbook has none
    std::string styles;         // empty when the workbook has none
    bool date1904 = false;      // serial dates count from 1904
};

// The parts for the sheet named `sheet` (compared without regard to case,
// as the spreadsheet programs compare them), or for the first worksheet
// when `sheet` is empty. Refuses a package that is no workbook and a sheet
// that is not there.
WorkbookParts FindWorkbookParts(const ZipArchive& archive, std::string_view sheet);

// The part that relationship target `target` of part `source` names:
// relative to the source's folder, or from the root when it starts with
// "/". Refuses a target that climbs out of the package.
std::string ResolveTarget(std::string_view source, std::string_view target);

}  // namespace pelmar::xlsx
