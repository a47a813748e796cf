#include "core/text_file.h"

#include <algorithm>
#include <cstring>
#include <optional>

#include "common/error.h"
#include "common/file.h"
#include "common/text.h"

namespace pelmar {

namespace {

// How many leading bytes of `s` are whole, strict UTF-8 sequences (no overlong
// forms, no surrogates, nothing above U+10FFFF). Stops at a bad sequence,
// setting `bad`, or at one cut by the end of `s`.
std::size_t ValidUtf8Length(std::string_view s, bool& bad) {
    const auto* begin = reinterpret_cast<const unsigned char*>(s.data());
    const auto* p = begin;
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
            bad = true;
            break;
        }
        if (end - p <= extra) break;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) bad = true;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (bad || cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            bad = true;
            break;
        }
        p += extra + 1;
    }
    return static_cast<std::size_t>(p - begin);
}

// The bytes a sequence starting with `lead` takes (1 for a byte that starts none).
std::size_t Utf8SequenceLength(char lead) {
    const auto c = static_cast<unsigned char>(lead);
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}

// Strict UTF-8 checked piece by piece.
class Utf8Check {
public:
    void Feed(std::string_view bytes) {
        if (failed_) return;
        if (!cut_.empty()) {
            // Complete the sequence the last piece cut, then check it alone.
            const std::size_t need = Utf8SequenceLength(cut_.front());
            const std::size_t take = std::min(need - cut_.size(), bytes.size());
            cut_.append(bytes.substr(0, take));
            bytes.remove_prefix(take);
            if (cut_.size() < need) return;
            ValidUtf8Length(cut_, failed_);
            if (failed_) return;
            cut_.clear();
        }
        const std::size_t valid = ValidUtf8Length(bytes, failed_);
        if (!failed_) cut_.assign(bytes.substr(valid));
    }
    bool Failed() const noexcept { return failed_; }
    // After the last piece: valid as a whole, no sequence left cut.
    bool Valid() const noexcept { return !failed_ && cut_.empty(); }

private:
    bool failed_ = false;
    std::string cut_;  // at most three bytes
};

// The byte order mark that `bytes` start with. A UTF-16 mark settles the
// encoding; after a UTF-8 mark, or without one, the rest decides.
struct Mark {
    std::size_t length = 0;
    std::optional<TextEncoding> utf16;
};

Mark MarkOf(std::string_view bytes) {
    if (bytes.starts_with("\xEF\xBB\xBF")) return {3, std::nullopt};
    if (bytes.starts_with("\xFF\xFE")) return {2, TextEncoding::Utf16LE};
    if (bytes.starts_with("\xFE\xFF")) return {2, TextEncoding::Utf16BE};
    return {};
}

// Windows-1252 for 0x80..0x9F; the five unassigned bytes keep their C1 code.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

void TextDecoder::Decode(std::string_view bytes, std::string& out) {
    switch (encoding_) {
        case TextEncoding::Utf8:
            for (std::size_t nul; (nul = bytes.find('\0')) != std::string_view::npos; bytes.remove_prefix(nul + 1)) {
                out.append(bytes.substr(0, nul));
            }
            out.append(bytes);
            break;
        case TextEncoding::Windows1252:
            out.reserve(out.size() + bytes.size() + bytes.size() / 4);
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
            break;
        case TextEncoding::Utf16LE:
        case TextEncoding::Utf16BE: {
            const bool bigEndian = encoding_ == TextEncoding::Utf16BE;
            auto unit = [bigEndian](unsigned char a, unsigned char b) -> char32_t {
                return bigEndian ? (a << 8 | b) : (b << 8 | a);
            };
            out.reserve(out.size() + bytes.size());
            if (oddByte_ >= 0 && !bytes.empty()) {
                AppendUtf16Unit(unit(static_cast<unsigned char>(oddByte_), static_cast<unsigned char>(bytes[0])), out);
                bytes.remove_prefix(1);
                oddByte_ = -1;
            }
            std::size_t i = 0;
            for (; i + 1 < bytes.size(); i += 2) {
                AppendUtf16Unit(unit(static_cast<unsigned char>(bytes[i]), static_cast<unsigned char>(bytes[i + 1])),
                                out);
            }
            if (i < bytes.size()) oddByte_ = static_cast<unsigned char>(bytes[i]);
            break;
        }
    }
}

void TextDecoder::Finish(std::string& out) {
    if (highSurrogate_ != 0) AppendUtf8(kReplacement, out);
    if (oddByte_ >= 0) AppendUtf8(kReplacement, out);
    highSurrogate_ = 0;
    oddByte_ = -1;
}

// A high surrogate waits for the next unit: a low one completes the pair, any
// other unit leaves it a U+FFFD and is read on its own.
void TextDecoder::AppendUtf16Unit(char32_t unit, std::string& out) {
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (highSurrogate_ != 0) {
        const char32_t first = highSurrogate_;
        highSurrogate_ = 0;
        if (low) {
            AppendUtf8(0x10000 + ((first - 0xD800) << 10) + (unit - 0xDC00), out);
            return;
        }
        AppendUtf8(kReplacement, out);
    }
    if (high) {
        highSurrogate_ = unit;
    } else if (low) {
        AppendUtf8(kReplacement, out);
    } else if (unit != 0) {
        AppendUtf8(unit, out);
    }
}

std::string DecodeText(std::string bytes) {
    const Mark mark = MarkOf(bytes);
    const std::string_view rest = std::string_view(bytes).substr(mark.length);
    TextEncoding encoding;
    if (mark.utf16) {
        encoding = *mark.utf16;
    } else {
        Utf8Check check;
        check.Feed(rest);
        encoding = check.Valid() ? TextEncoding::Utf8 : TextEncoding::Windows1252;
    }
    if (encoding == TextEncoding::Utf8) {
        // Decoded where it lies: only the mark and any NULs go.
        bytes.erase(0, mark.length);
        std::erase(bytes, '\0');
        return bytes;
    }
    std::string text;
    TextDecoder decoder(encoding);
    decoder.Decode(rest, text);
    decoder.Finish(text);
    return text;
}

std::string ReadTextFile(const std::string& path) {
    File file(path, File::Mode::Input);
    return DecodeText(file.ReadAll());
}

TextFileReader::TextFileReader(const std::string& path, std::size_t chunkSize)
        : file_(path, File::Mode::Input),
          chunkSize_(std::max<std::size_t>(chunkSize, 1)),
          byteSize_(file_.Size()),
          chunk_(chunkSize_, '\0') {
    decoder_ = TextDecoder(ChooseEncoding());
    file_.Rewind();
}

TextEncoding TextFileReader::ChooseEncoding() {
    char head[3];
    std::size_t got = 0;
    for (std::size_t n; got < sizeof head && (n = file_.Read(head + got, sizeof head - got)) > 0;) got += n;
    const Mark mark = MarkOf(std::string_view(head, got));
    markLeft_ = mark.length;
    if (mark.utf16) return *mark.utf16;

    Utf8Check check;
    check.Feed(std::string_view(head, got).substr(mark.length));
    for (std::size_t n; !check.Failed() && (n = file_.Read(chunk_.data(), chunkSize_)) > 0;) {
        check.Feed(std::string_view(chunk_.data(), n));
    }
    return check.Valid() ? TextEncoding::Utf8 : TextEncoding::Windows1252;
}

void TextFileReader::ReadChunk() {
    // Only the line being read moves; everything before it is done with.
    text_.erase(0, pos_);
    pos_ = 0;
    std::string_view bytes(chunk_.data(), file_.Read(chunk_.data(), chunkSize_));
    if (bytes.empty()) {
        decoder_.Finish(text_);
        atFileEnd_ = true;
        return;
    }
    const std::size_t mark = std::min(markLeft_, bytes.size());
    bytes.remove_prefix(mark);
    markLeft_ -= mark;
    decoder_.Decode(bytes, text_);
}

bool TextFileReader::AtEnd() {
    while (pos_ >= text_.size() && !atFileEnd_) ReadChunk();
    return pos_ >= text_.size();
}

std::string_view TextFileReader::ReadLine() {
    if (AtEnd()) throw Error(errnum::InputPastEndOfFile, "Input past end of file");
    std::size_t from = pos_;
    std::size_t cr;
    for (;;) {
        cr = text_.find('\r', from);
        // A CR last in what is decoded so far may have its LF in the next chunk.
        if (atFileEnd_ || (cr != std::string::npos && cr + 1 < text_.size())) break;
        const std::size_t searched = (cr != std::string::npos ? cr : text_.size()) - pos_;
        ReadChunk();
        from = pos_ + searched;
    }
    const std::string_view text(text_);
    std::string_view line;
    if (cr == std::string::npos) {
        line = text.substr(pos_);
        pos_ = text.size();
    } else {
        line = text.substr(pos_, cr - pos_);
        pos_ = cr + 1;
        if (pos_ < text.size() && text[pos_] == '\n') ++pos_;
    }
    return line;
}

std::string_view TextFileReader::ReadPiece() {
    pos_ = text_.size();  // what was returned last is done with
    while (pos_ >= text_.size() && !atFileEnd_) ReadChunk();
    return std::string_view(text_).substr(pos_);
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
