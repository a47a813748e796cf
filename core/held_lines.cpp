#include "core/held_lines.h"

#include <algorithm>

namespace pelmar {

void HeldLines::PlaceFailure(int32_t record, std::string log, std::string reject) {
    std::erase_if(lines_, [&](const Line& line) { return line.record == record && line.kind == Kind::Stored; });
    const auto after = std::ranges::find_if(lines_, [&](const Line& line) { return line.record > record; });
    lines_.insert(after, {{record, Kind::Log, std::move(log)}, {record, Kind::Reject, std::move(reject)}});
}

void HeldLines::Release(const std::function<void(Kind, const std::string&)>& write) {
    std::vector<Line> lines;
    lines.swap(lines_);
    for (const Line& line : lines) write(line.kind, line.text);
}

}  // namespace pelmar
