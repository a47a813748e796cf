#include "core/destination.h"

#include "common/error.h"
#include "common/text.h"

namespace pelmar {

int32_t Destination::RequiredId() const {
    if (!id) throw Error(errnum::TypeMismatch, "Type mismatch");
    return *id;
}

std::optional<int32_t> ParseDestinationId(std::string_view text) {
    try {
        return ToInt32(text);
    } catch (const Error&) {
        return std::nullopt;
    }
}

}  // namespace pelmar
