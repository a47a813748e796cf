// The text conversions the import's rules rely on: LeadingNumber,
// IsNumeric/ToDouble, IsDate, RoundToInt32 and the strict integer
// conversions. Besides not failing: only numeric text converts, a failure is
// an overflow or a type mismatch, and a rounding that succeeds lands within
// half of the value.
//
// Input: text; its first eight bytes also make a double of any bit pattern.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "common/error.h"
#include "common/text.h"

namespace {

using namespace pelmar;

void CheckRounding(double value) {
    try {
        const int32_t rounded = RoundToInt32(value);
        if (!(std::fabs(rounded - value) <= 0.5)) std::abort();
    } catch (const Error& e) {
        if (e.Number() != errnum::Overflow) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    try {
        CheckRounding(LeadingNumber(text));
    } catch (const Error& e) {
        if (e.Number() != errnum::Overflow) std::abort();  // beyond the double range
    }
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        CheckRounding(raw);
    }
    const bool numeric = IsNumeric(text);
    for (const auto convert : {+[](std::string_view t) { return ToDouble(t); },
                               +[](std::string_view t) { return static_cast<double>(ToInt32(t)); },
                               +[](std::string_view t) { return static_cast<double>(ToInt16(t)); }}) {
        try {
            convert(text);
            if (!numeric) std::abort();  // only numbers convert
        } catch (const Error& e) {
            // A number beyond the double range is not numeric and overflows.
            if (e.Number() != errnum::Overflow && (numeric || e.Number() != errnum::TypeMismatch)) std::abort();
        }
    }
    IsDate(text);
    return 0;
}
