#pragma once
// A JSON text (RFC 8259) written as it goes: objects, arrays, strings,
// integers, booleans and null. Strings are escaped as the RFC requires
// (quote, backslash, control characters) and a byte that is no part of
// well-formed UTF-8 is written as U+FFFD, so that the text is always valid.
// The caller nests the calls correctly; a key goes before every member.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pelmar {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(std::string_view key);
    JsonWriter& String(std::string_view value);
    JsonWriter& Number(int64_t value);
    JsonWriter& Bool(bool value);
    JsonWriter& Null();

    const std::string& Text() const noexcept { return out_; }

private:
    void Separate();
    void Open(char bracket);
    void Close(char bracket);

    std::string out_;
    std::vector<bool> hasMember_;  // one per open object or array
    bool afterKey_ = false;
};

// `text` as a JSON string, quotes included.
std::string JsonString(std::string_view text);

}  // namespace pelmar
