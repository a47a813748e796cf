#include "db/connection_string.h"

#include <algorithm>
#include <cctype>
#include <tuple>

#include "common/text.h"

namespace pelmar::db {
namespace {

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// One "key=value" part: its key and value, and where the part lies in the
// text (its ";" included), so that a part can be cut out leaving the rest as
// it was written.
struct Part {
    std::string key, value;
    std::size_t begin, end;
};

// A braced value starting at `open` (its "{"): it runs to the matching "}",
// and "}}" stands for one "}". Returns the value and where it ends (past its
// "}", or the text's end when none closes it).
std::pair<std::string, std::size_t> BracedValue(std::string_view text, std::size_t open) {
    std::string value;
    std::size_t i = open + 1;
    while (i < text.size()) {
        if (text[i] != '}') {
            value += text[i++];
        } else if (i + 1 < text.size() && text[i + 1] == '}') {
            value += '}';
            i += 2;
        } else {
            break;
        }
    }
    return {std::move(value), i};
}

std::vector<Part> SplitParts(std::string_view text) {
    std::vector<Part> parts;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t eq = text.find('=', pos);
        const std::size_t semi = text.find(';', pos);
        if (eq == std::string_view::npos || (semi != std::string_view::npos && semi < eq)) {
            if (semi == std::string_view::npos) break;
            pos = semi + 1;  // a part without "=": nothing to keep
            continue;
        }
        std::string key(TrimBlanks(text.substr(pos, eq - pos)));
        std::size_t valueStart = eq + 1;
        while (valueStart < text.size() && (text[valueStart] == ' ' || text[valueStart] == '\t')) ++valueStart;
        std::string value;
        std::size_t end;
        if (valueStart < text.size() && text[valueStart] == '{') {
            std::size_t close;
            std::tie(value, close) = BracedValue(text, valueStart);
            end = text.find(';', close);
        } else {
            end = text.find(';', valueStart);
            value = std::string(
                TrimBlanks(text.substr(valueStart, end == std::string_view::npos ? text.npos : end - valueStart)));
        }
        const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
        if (!key.empty()) parts.push_back({std::move(key), std::move(value), pos, next});
        pos = next;
    }
    return parts;
}

}  // namespace

ConnectionStringPairs ParseConnectionString(std::string_view text) {
    ConnectionStringPairs pairs;
    for (auto& part : SplitParts(text)) pairs.emplace_back(std::move(part.key), std::move(part.value));
    return pairs;
}

std::string RemoveConnectionKeys(std::string_view text, std::initializer_list<std::string_view> keys) {
    std::string kept;
    std::size_t from = 0;
    for (const Part& part : SplitParts(text)) {
        if (std::none_of(keys.begin(), keys.end(), [&](std::string_view k) { return EqualsNoCase(part.key, k); }))
            continue;
        kept.append(text.substr(from, part.begin - from));
        from = part.end;
    }
    kept.append(text.substr(from));
    return kept;
}

std::optional<std::string> FindConnectionValue(const ConnectionStringPairs& pairs, std::string_view key) {
    for (const auto& [k, v] : pairs)
        if (EqualsNoCase(k, key)) return v;
    return std::nullopt;
}

std::optional<std::string> SqliteDatabasePath(std::string_view connectionString) {
    const auto pairs = ParseConnectionString(connectionString);
    const auto driver = FindConnectionValue(pairs, "Driver");
    if (!driver || !EqualsNoCase(TrimBlanks(*driver), "SQLite3")) return std::nullopt;
    const auto database = FindConnectionValue(pairs, "Database");
    return database ? *database : std::string();
}

}  // namespace pelmar::db
