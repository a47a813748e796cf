#include "common/json_writer.h"

#include "common/text.h"

namespace pelmar {
namespace {

// The length of the well-formed UTF-8 sequence at the start of `s`, 0 when
// none starts there (no overlong forms, surrogates or values past U+10FFFF).
std::size_t SequenceLength(std::string_view s) {
    const auto c = static_cast<unsigned char>(s[0]);
    std::size_t length;
    char32_t cp;
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) {
        length = 2, cp = c & 0x1F;
    } else if ((c & 0xF0) == 0xE0) {
        length = 3, cp = c & 0x0F;
    } else if ((c & 0xF8) == 0xF0) {
        length = 4, cp = c & 0x07;
    } else {
        return 0;
    }
    if (s.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto b = static_cast<unsigned char>(s[i]);
        if ((b & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (b & 0x3F);
    }
    constexpr char32_t kMin[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kMin[length] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string JsonString(std::string_view text) {
    std::string out = "\"";
    for (std::size_t i = 0; i < text.size();) {
        const char c = text[i];
        const std::size_t length = SequenceLength(text.substr(i));
        if (length == 0) {
            AppendUtf8(0xFFFD, out);
            ++i;
            continue;
        }
        if (length > 1) {
            out.append(text.substr(i, length));
        } else if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (static_cast<unsigned char>(c) < 0x20) {
            constexpr char kHex[] = "0123456789abcdef";
            out += "\\u00";
            out += kHex[(c >> 4) & 0xF];
            out += kHex[c & 0xF];
        } else {
            out += c;
        }
        i += length;
    }
    return out + "\"";
}

void JsonWriter::Separate() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (hasMember_.empty()) return;
    if (hasMember_.back()) out_ += ',';
    hasMember_.back() = true;
}

void JsonWriter::Open(char bracket) {
    Separate();
    out_ += bracket;
    hasMember_.push_back(false);
}

void JsonWriter::Close(char bracket) {
    out_ += bracket;
    hasMember_.pop_back();
}

JsonWriter& JsonWriter::BeginObject() { return Open('{'), *this; }
JsonWriter& JsonWriter::EndObject() { return Close('}'), *this; }
JsonWriter& JsonWriter::BeginArray() { return Open('['), *this; }
JsonWriter& JsonWriter::EndArray() { return Close(']'), *this; }

JsonWriter& JsonWriter::Key(std::string_view key) {
    Separate();
    out_ += JsonString(key) + ":";
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::String(std::string_view value) {
    Separate();
    out_ += JsonString(value);
    return *this;
}

JsonWriter& JsonWriter::Number(int64_t value) {
    Separate();
    out_ += std::to_string(value);
    return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
    Separate();
    out_ += value ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    Separate();
    out_ += "null";
    return *this;
}

}  // namespace pelmar
