// The connection-string parser. Besides not failing: keys come out trimmed and
// not empty, and the SQLite path is the Database value of a SQLite3 string.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "db/connection_string.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace pelmar::db;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const ConnectionStringPairs pairs = ParseConnectionString(text);
    for (const auto& [key, value] : pairs) {
        if (key.empty() || key.front() == ' ' || key.back() == ' ' || key.front() == '\t' || key.back() == '\t')
            std::abort();
    }
    const auto database = SqliteDatabasePath(text);
    if (database && *database != FindConnectionValue(pairs, "Database").value_or("")) std::abort();
    return 0;
}
