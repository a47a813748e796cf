#include "core/vcard_values.h"

#include <algorithm>

#include "common/text.h"
#include "core/text_file.h"

namespace pelmar {
namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "=XX" as the byte XX; an "=" that starts no such pair stays.
std::string QuotedPrintableBytes(std::string_view text) {
    std::string bytes;
    bytes.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '=' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 && HexDigit(text[i + 2]) >= 0) {
            bytes.push_back(static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2])));
            i += 2;
        } else {
            bytes.push_back(text[i]);
        }
    }
    return bytes;
}

bool IsLatinCharset(std::string_view charset) {
    for (const std::string_view name :
         {"ISO-8859-1", "ISO8859-1", "ISO_8859-1", "LATIN1", "ISO-8859-15", "WINDOWS-1252", "CP1252"})
        if (EqualsNoCase(charset, name)) return true;
    return false;
}

bool AllDigits(std::string_view text) {
    return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

}  // namespace

std::string DecodedValue(const VcardProperty& property) {
    if (!property.QuotedPrintable()) return property.value;
    std::string bytes = QuotedPrintableBytes(property.value);
    if (!IsLatinCharset(property.Parameter("CHARSET"))) return DecodeText(std::move(bytes));
    std::string text;
    TextDecoder decoder(TextEncoding::Windows1252);
    decoder.Decode(bytes, text);
    return text;
}

std::string UnescapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out.push_back(c);
            continue;
        }
        const char next = text[++i];
        if (next == 'n' || next == 'N') {
            out.push_back('\n');
        } else if (next == '\\' || next == ',' || next == ';' || next == ':') {
            out.push_back(next);
        } else {
            out.push_back(c);
            out.push_back(next);
        }
    }
    return out;
}

std::vector<std::string> Components(std::string_view text) {
    std::vector<std::string> components;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\') {
            ++i;
        } else if (text[i] == ';') {
            components.push_back(UnescapeText(text.substr(start, i - start)));
            start = i + 1;
        }
    }
    components.push_back(UnescapeText(text.substr(std::min(start, text.size()))));
    return components;
}

std::string IsoDateOf(std::string_view value, std::string_view omittedYear) {
    const std::string_view trimmed = TrimBlanks(value);
    const std::string_view date = trimmed.substr(0, trimmed.find_first_of("Tt"));
    std::string iso;
    if (date.size() == 10 && date[4] == '-' && date[7] == '-' && AllDigits(date.substr(0, 4)) &&
        AllDigits(date.substr(5, 2)) && AllDigits(date.substr(8, 2))) {
        iso = date;
    } else if (date.size() == 8 && AllDigits(date)) {
        iso = std::string(date.substr(0, 4)) + "-" + std::string(date.substr(4, 2)) + "-" + std::string(date.substr(6));
    } else if (date.size() == 6 && date.starts_with("--") && AllDigits(date.substr(2))) {
        iso = "--" + std::string(date.substr(2, 2)) + "-" + std::string(date.substr(4));
    } else if (date.size() == 7 && date.starts_with("--") && date[4] == '-' && AllDigits(date.substr(2, 2)) &&
               AllDigits(date.substr(5))) {
        iso = date;
    } else {
        return std::string(trimmed);
    }
    if (!omittedYear.empty() && iso.size() == 10 && iso.starts_with(omittedYear)) iso = "--" + iso.substr(5);
    return iso;
}

std::string EscapeText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        switch (c) {
            case '\\': out += "\\\\"; break;
            case ',': out += "\\,"; break;
            case ';': out += "\\;"; break;
            case '\r':
                if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
                out += "\\n";
                break;
            case '\n': out += "\\n"; break;
            default: out.push_back(c);
        }
    }
    return out;
}

void AppendFolded(std::string_view line, std::string& out) {
    constexpr std::size_t kMaxOctets = 75;
    std::size_t room = kMaxOctets;
    while (line.size() > room) {
        // Back to the start of the character that would be cut.
        std::size_t cut = room;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
        if (cut == 0) cut = room;  // not UTF-8: cut where the room ends
        out.append(line.substr(0, cut));
        out += "\r\n ";
        line.remove_prefix(cut);
        room = kMaxOctets - 1;  // the blank takes one
    }
    out.append(line);
    out += "\r\n";
}

}  // namespace pelmar
