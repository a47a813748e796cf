#include "db/db_error_source.h"

#include "common/text.h"

namespace pelmar::db::detail {

std::string FoldLines(const std::string& text) {
    std::string folded = FoldLineBreaks(text);
    while (!folded.empty() && (folded.back() == ' ' || folded.back() == '\t')) folded.pop_back();
    return folded;
}

}  // namespace pelmar::db::detail
