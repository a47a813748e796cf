#pragma once
// Connection strings: "key=value;" pairs, a value optionally in braces so
// that it may hold ";" ("Driver={PostgreSQL Unicode};Pwd={a;b}").
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace pelmar::db {

using ConnectionStringPairs = std::vector<std::pair<std::string, std::string>>;

// The pairs in order; keys trimmed of blanks, values trimmed outside their
// braces and without the braces. Parts without "=" are ignored.
ConnectionStringPairs ParseConnectionString(std::string_view text);

// The text without the pairs whose key is one of `keys` (any case); every
// other part is left exactly as written.
std::string RemoveConnectionKeys(std::string_view text, std::initializer_list<std::string_view> keys);

// The value of the first pair whose key equals `key` in any case.
std::optional<std::string> FindConnectionValue(const ConnectionStringPairs& pairs, std::string_view key);

// The database file of a native SQLite connection string
// ("Driver=SQLite3;Database=PATH", driver name in any case, braces allowed);
// nothing for any other string.
std::optional<std::string> SqliteDatabasePath(std::string_view connectionString);

}  // namespace pelmar::db
