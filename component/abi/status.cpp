#include "component/abi/status.h"

#include <new>

#include "common/error.h"

namespace pelmar::abi {

namespace {
thread_local std::string tLastError;
}  // namespace

void SetLastErrorText(std::string text) { tLastError = std::move(text); }

const char* LastErrorText() noexcept { return tLastError.c_str(); }

pelmar_status Fail(pelmar_status status, std::string message) noexcept {
    try {
        SetLastErrorText(std::move(message));
    } catch (...) {
        // Out of memory for the message: the status still tells the failure.
    }
    return status;
}

pelmar_status StatusOfCurrentException() noexcept {
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return Fail(PELMAR_E_OUTOFMEMORY, "Out of memory");
    } catch (const Error& e) {
        const int32_t n = e.Number();
        const pelmar_status status = n < 0 ? n : (n > 0 && n <= 0xFFFF) ? PELMAR_E_RUNTIME(n) : PELMAR_E_FAIL;
        return Fail(status, e.what());
    } catch (const std::exception& e) {
        return Fail(PELMAR_E_FAIL, e.what());
    } catch (...) {
        return Fail(PELMAR_E_FAIL, "Unknown failure");
    }
}

}  // namespace pelmar::abi
