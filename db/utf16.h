#pragma once
// UTF-8 <-> UTF-16 for the ODBC back end's wide calls. Invalid input becomes
// U+FFFD rather than failing: a driver's message must always reach the user.
#include <string>
#include <string_view>

namespace pelmar::db::detail {

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace pelmar::db::detail
