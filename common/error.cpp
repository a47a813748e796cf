#include "common/error.h"

namespace pelmar {

ErrorInfo ErrorInfoOf(const std::exception& e) {
    if (const auto* error = dynamic_cast<const Error*>(&e)) return error->Info();
    return {errnum::InvalidProcedureCall, e.what(), "PelmarImpExp"};
}

ErrorInfo CurrentErrorInfo() {
    try {
        throw;
    } catch (const std::exception& e) {
        return ErrorInfoOf(e);
    } catch (...) {
        return {errnum::InvalidProcedureCall, "Unknown error", "PelmarImpExp"};
    }
}

}  // namespace pelmar
