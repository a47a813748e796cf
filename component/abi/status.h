#pragma once
// Status codes and the per-thread last-error text of the C ABI. Every entry
// point runs its body through Guard, so no C++ exception crosses the ABI.
#include <exception>
#include <string>

#include "component/abi/pelmar_impexp.h"

namespace pelmar::abi {

void SetLastErrorText(std::string text);
const char* LastErrorText() noexcept;

// The status of the exception being handled, its message kept as the
// thread's last error. Call inside a catch block.
pelmar_status StatusOfCurrentException() noexcept;

// A failure status with its message.
pelmar_status Fail(pelmar_status status, std::string message) noexcept;

template <class Body>
pelmar_status Guard(Body&& body) noexcept {
    try {
        SetLastErrorText({});
        return body();
    } catch (...) {
        return StatusOfCurrentException();
    }
}

}  // namespace pelmar::abi
