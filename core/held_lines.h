#pragma once
// HeldLines: the import log and rejected-records lines of a batch's records,
// held until the batch has committed, so that the files never tell of rows
// the database does not have. A record found to have failed only when its
// batch was sent has its failure put where a run committing each record
// would have written it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pelmar {

class HeldLines {
public:
    enum class Kind : uint8_t {
        Log,
        Reject,
        Stored,  // a log line written because the record was stored
    };

    // Lines are held in the order of their records.
    void Hold(int32_t record, Kind kind, std::string text) { lines_.push_back({record, kind, std::move(text)}); }

    // Record `record` failed after all: its Stored lines go, and `log` and
    // `reject` take their place, after every other line of the record.
    void PlaceFailure(int32_t record, std::string log, std::string reject);

    // Hands every line on, in order, and holds none after.
    void Release(const std::function<void(Kind, const std::string&)>& write);

    bool Empty() const noexcept { return lines_.empty(); }

private:
    struct Line {
        int32_t record;
        Kind kind;
        std::string text;
    };
    std::vector<Line> lines_;
};

}  // namespace pelmar
