#pragma once
// The error details a failure path hands to EventLogger::WriteErrorLog:
// the runtime's number, description and source of the failure being handled.
#include <cstdint>
#include <string>

namespace pelmar {

struct ErrorInfo {
    int32_t Number = 0;
    std::string Description;
    std::string Source;
};

}  // namespace pelmar
