#pragma once
// Where imported contacts go: the kind of destination and the id of its
// folder or group (0 for the top of the address book).
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/enums.h"

namespace pelmar {

struct Destination {
    ImportToType kind = SharedFolder;
    // Nothing when the destination's key held no number after its prefix;
    // the steps that need the id fail then.
    std::optional<int32_t> id = 0;

    bool IsGroup() const noexcept { return kind == SharedGroup || kind == LocalGroup; }
    bool IsLocal() const noexcept { return kind == LocalFolder || kind == LocalGroup; }
    // The id; the runtime's "Type mismatch" (13) when there is none.
    int32_t RequiredId() const;
};

// A destination id as the wizard keeps it, in text: its number, or nothing
// when the text is not one.
std::optional<int32_t> ParseDestinationId(std::string_view text);

}  // namespace pelmar
