#pragma once
// What reading a workbook may cost, and how a workbook is refused. A
// workbook is untrusted input: a few kilobytes of zip can inflate to
// gigabytes and a few kilobytes of XML can expand to more, so every part is
// measured while it inflates and every kept byte is counted. A workbook
// that breaks a limit is refused as a whole: nothing of it is listed.
#include <cstdint>
#include <string>
#include <string_view>

namespace pelmar::xlsx {

struct Limits {
    uint64_t partBytes = uint64_t{1} << 30;  // inflated size of any one part
    uint64_t ratio = 100;                    // inflated size over packed size, for any one part
    uint32_t cellChars = 32767;              // characters of one cell or shared string
    // Memory kept while reading (the shared strings and the rows listed), so
    // that a small sheet that repeats one long string everywhere cannot fill
    // the memory. It is counted as the buffers' capacity: a buffer that
    // doubles past it is refused at once, so the reading never holds more
    // than about one and a half times this while a buffer grows.
    uint64_t heldBytes = uint64_t{256} << 20;
};

// Throws the refusal of the workbook: error InvalidFileFormat whose
// description is `reason`, a sentence about the file.
[[noreturn]] void Refuse(const std::string& reason);

// Refuses part `part` when `inflated` of its bytes, out of `packed` packed
// bytes, break a limit.
void CheckInflated(std::string_view part, uint64_t inflated, uint64_t packed, const Limits& limits);

}  // namespace pelmar::xlsx
