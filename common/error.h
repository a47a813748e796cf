#pragma once
// The component's runtime error: a number, a description and a source, as a
// failure path records them with WriteErrorLog. Numbers follow the classic
// runtime's table so that logs read the same whatever failed.
#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

#include "common/error_info.h"

namespace pelmar {

namespace errnum {
inline constexpr int32_t InvalidProcedureCall = 5;
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t SubscriptOutOfRange = 9;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t BadFileName = 52;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t InputPastEndOfFile = 62;
inline constexpr int32_t PermissionDenied = 70;
inline constexpr int32_t PathFileAccessError = 75;
inline constexpr int32_t PathNotFound = 76;
inline constexpr int32_t ObjectRequired = 424;
inline constexpr int32_t InvalidFileFormat = 321;
inline constexpr int32_t InvalidPropertyValue = 380;
inline constexpr int32_t DatabaseError = -2147467259;  // 0x80004005, the provider's generic failure
}  // namespace errnum

class Error : public std::runtime_error {
public:
    Error(int32_t number, const std::string& description, std::string source = "PelmarImpExp")
            : std::runtime_error(description), number_(number), source_(std::move(source)) {}

    int32_t Number() const noexcept { return number_; }
    std::string Description() const { return what(); }
    const std::string& Source() const noexcept { return source_; }
    ErrorInfo Info() const { return {number_, what(), source_}; }

private:
    int32_t number_;
    std::string source_;
};

// The error information of any exception, for a failure path's record:
// our Error (and the errors derived from it: the database layer's, the
// logger's) keep their details; anything else becomes error 5 with its
// what() text.
ErrorInfo ErrorInfoOf(const std::exception& e);
ErrorInfo CurrentErrorInfo();  // of std::current_exception(), inside a catch block

}  // namespace pelmar
