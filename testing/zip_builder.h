#pragma once
// Zip archives made for tests, in memory: the entries as given, stored or
// deflated, with what a hostile archive may lie about (the sizes it
// claims, the encryption flag) under the test's control. For archives of
// any shape, not only those a zip library would write.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmar::test {

struct ZipEntry {
    std::string name;
    std::string data;       // as it is stored: packed already when `deflated`
    bool deflated = false;  // data is a raw deflate stream
    uint64_t size = 0;      // inflated size; for stored data, data.size() is used
    uint32_t crc = 0;       // of the inflated bytes; computed for stored data
    bool encrypted = false;
};

// A stored entry of `data`.
ZipEntry Stored(std::string name, std::string_view data);
// A deflated entry of `prefix`, then `repeats` times `block`, then `suffix`,
// made without ever holding the inflated text: for parts that inflate to
// gigabytes.
ZipEntry DeflatedRepeat(std::string name, std::string_view prefix, std::string_view block, uint64_t repeats,
                        std::string_view suffix);

std::string ZipBytes(const std::vector<ZipEntry>& entries);

// The parts of a minimal workbook, sheets named and given as XML bodies of
// <sheetData>, optionally with shared strings and styles.
struct WorkbookParts {
    std::vector<std::pair<std::string, std::string>> sheets = {};  // name, <sheetData> content
    std::optional<std::string> sharedStrings = {};                 // the <sst> content
    std::optional<std::string> styles = {};                        // the <styleSheet> content
    bool date1904 = false;
};
std::vector<ZipEntry> WorkbookEntries(const WorkbookParts& parts);

}  // namespace pelmar::test
