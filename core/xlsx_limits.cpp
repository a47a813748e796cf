#include "core/xlsx_limits.h"

#include "common/error.h"

namespace pelmar::xlsx {

void Refuse(const std::string& reason) { throw Error(errnum::InvalidFileFormat, reason); }

void CheckInflated(std::string_view part, uint64_t inflated, uint64_t packed, const Limits& limits) {
    if (inflated > limits.partBytes)
        Refuse("The workbook's part " + std::string(part) + " inflates past " + std::to_string(limits.partBytes) +
               " bytes.");
    // Compared as a product, which cannot overflow for the sizes a zip holds.
    if (inflated > packed * limits.ratio)
        Refuse("The workbook's part " + std::string(part) + " inflates to more than " + std::to_string(limits.ratio) +
               " times its packed size.");
}

}  // namespace pelmar::xlsx
