#include "db/db_error_source.h"

namespace pelmar::db::detail {

std::string FoldLines(const std::string& text) {
    std::string folded;
    bool pendingBreak = false;
    for (char c : text) {
        if (c == '\r' || c == '\n') {
            pendingBreak = true;
            while (!folded.empty() && (folded.back() == ' ' || folded.back() == '\t')) folded.pop_back();
            continue;
        }
        if (pendingBreak) {
            if (c == ' ' || c == '\t') continue;
            if (!folded.empty()) folded += ' ';
            pendingBreak = false;
        }
        folded += c;
    }
    while (!folded.empty() && (folded.back() == ' ' || folded.back() == '\t')) folded.pop_back();
    return folded;
}

}  // namespace pelmar::db::detail
