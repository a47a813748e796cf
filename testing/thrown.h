#pragma once
// What a call throws, as one value a test compares in one expectation.
#include <functional>
#include <string>

#include "common/error.h"

namespace pelmar::test {

// The number of the Error `call` throws; 0 when it returns.
inline int32_t ErrorNumberOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return e.Number();
    }
    return 0;
}

// "NUMBER: TEXT" of the Error `call` throws; "" when it returns.
inline std::string ErrorOf(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return std::to_string(e.Number()) + ": " + e.what();
    }
    return "";
}

}  // namespace pelmar::test
