#include "import/text_file.h"

#include <cstring>

#include "common/error.h"
#include "common/file.h"
#include "common/text.h"

namespace pelmar {

namespace {

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        // ASCII runs are the common case: eight bytes at a time.
        while (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL) break;
            p += 8;
        }
        if (p == end) break;
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int extra;
        char32_t min;
        char32_t cp;
        if ((c & 0xE0) == 0xC0) {
            extra = 1, min = 0x80, cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2, min = 0x800, cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3, min = 0x10000, cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra) return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        p += extra + 1;
    }
    return true;
}

// Windows-1252 for 0x80..0x9F; the five unassigned bytes keep their C1 code.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::string DecodeWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == 0) continue;
        if (c < 0x80) {
            out.push_back(ch);
        } else if (c < 0xA0) {
            AppendUtf8(kCp1252High[c - 0x80], out);
        } else {
            AppendUtf8(c, out);
        }
    }
    return out;
}

std::string DecodeUtf16(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size());
    auto unit = [&](std::size_t i) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[i]);
        const auto b = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (a << 8 | b) : (b << 8 | a);
    };
    constexpr char32_t kReplacement = 0xFFFD;
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF) {
            if (i + 3 < bytes.size()) {
                const char32_t low = unit(i + 2);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                    i += 2;
                } else {
                    cp = kReplacement;
                }
            } else {
                cp = kReplacement;
            }
        } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
            cp = kReplacement;
        }
        if (cp != 0) AppendUtf8(cp, out);
    }
    if (i < bytes.size()) AppendUtf8(kReplacement, out);  // a lone trailing byte
    return out;
}

}  // namespace

std::string DecodeText(std::string bytes) {
    const std::string_view view(bytes);
    if (view.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    else if (view.starts_with("\xFF\xFE")) return DecodeUtf16(view.substr(2), false);
    else if (view.starts_with("\xFE\xFF")) return DecodeUtf16(view.substr(2), true);

    if (!IsValidUtf8(bytes)) return DecodeWindows1252(bytes);
    if (bytes.find('\0') != std::string::npos) std::erase(bytes, '\0');
    return bytes;
}

std::string ReadTextFile(const std::string& path) {
    File file(path, File::Mode::Input);
    return DecodeText(file.ReadAll());
}

std::string_view LineReader::ReadLine() {
    if (AtEnd()) throw Error(errnum::InputPastEndOfFile, "Input past end of file");
    const std::size_t cr = text_.find('\r', pos_);
    std::string_view line;
    if (cr == std::string_view::npos) {
        line = text_.substr(pos_);
        pos_ = text_.size();
    } else {
        line = text_.substr(pos_, cr - pos_);
        pos_ = cr + 1;
        if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    }
    return line;
}

int32_t PreviewLineCount(std::string_view text) {
    int64_t breaks = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r') {
            ++breaks;
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (text[i] == '\n') {
            ++breaks;
        }
    }
    if (breaks >= INT32_MAX) throw Error(errnum::Overflow, "Overflow");
    return static_cast<int32_t>(breaks + 1);
}

}  // namespace pelmar
