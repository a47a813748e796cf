#include "forms/import_form.h"

#include "common/text.h"

namespace pelmar {

void ImportFormVariables::SetDelimiter(std::string_view text) {
    // A fixed-length text of one character: longer text is cut, empty text is
    // padded with a blank.
    Delimiter = text.empty() ? U' ' : FirstCodePoint(text);
}

}  // namespace pelmar
