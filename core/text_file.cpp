#include "core/text_file.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <optional>

#include "common/error.h"
#include "common/file.h"
#include "common/text.h"

namespace pelmar {

namespace {

// What a scan of valid UTF-8 counted: its multi-byte characters and, when
// asked for, its carriage returns.
struct Utf8Counts {
    int64_t characters = 0;
    int64_t breaks = 0;
};

// The carriage returns among eight ASCII bytes: a byte that equals CR is zero
// after the XOR; the sum sets the high bit of every byte that is not. The
// multiplication adds up the bytes' flags in the top byte (a popcount would be
// a library call on the baseline x86-64).
int CarriageReturnsIn(uint64_t word) {
    constexpr uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
    constexpr uint64_t kOnes = 0x0101010101010101ULL;
    const uint64_t x = word ^ 0x0D0D0D0D0D0D0D0DULL;
    const uint64_t crs = ~(((x & kLow7) + kLow7) | x | kLow7) >> 7;
    return static_cast<int>((crs * kOnes) >> 56);
}

// The length of the strict UTF-8 sequence (no overlong form, no surrogate,
// nothing above U+10FFFF) of two to four bytes that starts at `p`; 0 when it
// is bad or cut by `end`.
int MultiByteLength(const unsigned char* p, const unsigned char* end) {
    const unsigned char c = *p;
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
        return 0;
    }
    if (end - p <= extra) return 0;
    for (int i = 1; i <= extra; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return extra + 1;
}

// How many leading bytes of `s` are whole, strict UTF-8 sequences, counting
// them into `counts`. Stops at a bad sequence or at one cut by the end of `s`.
std::size_t ValidUtf8Length(std::string_view s, Utf8Counts& counts, bool countBreaks) {
    const auto* begin = reinterpret_cast<const unsigned char*>(s.data());
    const auto* p = begin;
    const auto* end = p + s.size();
    while (p < end) {
        // ASCII runs are the common case: eight bytes at a time.
        while (end - p >= 8) {
            uint64_t word;
            std::memcpy(&word, p, 8);
            if (word & 0x8080808080808080ULL) break;
            if (countBreaks) counts.breaks += CarriageReturnsIn(word);
            p += 8;
        }
        if (p == end) break;
        if (*p < 0x80) {
            if (countBreaks && *p == '\r') ++counts.breaks;
            ++p;
            continue;
        }
        const int length = MultiByteLength(p, end);
        if (length == 0) break;
        ++counts.characters;
        p += length;
    }
    return static_cast<std::size_t>(p - begin);
}

// One byte of UTF-8 decoding, the Unicode standard's way: every maximal
// ill-formed subpart is one invalid sequence, and a byte that cuts a sequence
// short is read again on its own (Retry).
enum class Utf8Step { Pending, Character, Invalid, Retry };

Utf8Step StepUtf8(Utf8Sequence& s, unsigned char b, char32_t& cp) {
    if (s.needed == 0) {
        if (b < 0x80) {
            cp = b;
            return Utf8Step::Character;
        }
        if (b >= 0xC2 && b <= 0xDF) {
            s.needed = 1, s.code = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            if (b == 0xE0) s.lower = 0xA0;  // no overlong forms
            if (b == 0xED) s.upper = 0x9F;  // no surrogates
            s.needed = 2, s.code = b & 0x0F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            if (b == 0xF0) s.lower = 0x90;
            if (b == 0xF4) s.upper = 0x8F;  // nothing above U+10FFFF
            s.needed = 3, s.code = b & 0x07;
        } else {
            return Utf8Step::Invalid;
        }
        return Utf8Step::Pending;
    }
    if (b < s.lower || b > s.upper) {
        s = Utf8Sequence{};
        return Utf8Step::Retry;
    }
    s.lower = 0x80, s.upper = 0xBF;
    s.code = (s.code << 6) | (b & 0x3F);
    if (++s.seen < s.needed) return Utf8Step::Pending;
    cp = s.code;
    s = Utf8Sequence{};
    return Utf8Step::Character;
}

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

// What the encoding depends on, gathered piece by piece over the bytes after
// any mark: UTF-8 sequences good and bad, the line of the first bad one, and
// where the NUL bytes fall.
class EncodingSurvey {
public:
    void Feed(std::string_view bytes) {
        CountNuls(bytes);
        while (!bytes.empty()) {
            if (sequence_.needed == 0) {
                // A valid stretch, the common case, is counted in bulk; its
                // line breaks matter only until the first invalid sequence.
                Utf8Counts counts;
                bytes.remove_prefix(ValidUtf8Length(bytes, counts, firstInvalidLine_ == 0));
                characters_ += counts.characters;
                breaks_ += counts.breaks;
                if (bytes.empty()) break;
            }
            // A bad sequence, or one cut by the end of the piece: a byte at a time.
            Step(static_cast<unsigned char>(bytes.front()));
            bytes.remove_prefix(1);
        }
    }

    EncodingChoice Choose(const Mark& mark) {
        EncodingChoice choice;
        if (mark.utf16) {
            choice.encoding = *mark.utf16;
            choice.reason = EncodingChoice::Reason::Mark;
            return choice;
        }
        if (mark.length == 0) {
            const uint64_t pairs = bytes_ / 2;
            const auto oneSided = [pairs](uint64_t side, uint64_t other) {
                return side > 0 && side * 10 >= pairs && other * 10 <= side;
            };
            if (oneSided(nulsOdd_, nulsEven_) || oneSided(nulsEven_, nulsOdd_)) {
                choice.encoding = nulsOdd_ > nulsEven_ ? TextEncoding::Utf16LE : TextEncoding::Utf16BE;
                choice.reason = EncodingChoice::Reason::ZeroBytes;
                return choice;
            }
        }
        // A sequence cut by the end of the file is invalid too.
        if (sequence_.needed != 0) Invalid();
        choice.invalidSequences = invalid_;
        choice.utf8Characters = characters_;
        choice.firstInvalidLine = firstInvalidLine_;
        if (invalid_ == 0) {
            choice.reason = mark.length ? EncodingChoice::Reason::Mark : EncodingChoice::Reason::Utf8;
        } else if (invalid_ <= characters_) {
            choice.reason = EncodingChoice::Reason::MostlyUtf8;
        } else {
            choice.encoding = TextEncoding::Windows1252;
            choice.reason = EncodingChoice::Reason::NotUtf8;
        }
        return choice;
    }

private:
    void CountNuls(std::string_view bytes) {
        for (std::size_t at = bytes.find('\0'); at != std::string_view::npos; at = bytes.find('\0', at + 1)) {
            ((bytes_ + at) % 2 == 0 ? nulsEven_ : nulsOdd_) += 1;
        }
        bytes_ += bytes.size();
    }

    void Step(unsigned char b) {
        char32_t cp = 0;
        Utf8Step step = StepUtf8(sequence_, b, cp);
        if (step == Utf8Step::Retry) {
            Invalid();
            step = StepUtf8(sequence_, b, cp);
        }
        if (step == Utf8Step::Invalid) Invalid();
        if (step == Utf8Step::Character) {
            if (cp >= 0x80) ++characters_;
            if (cp == '\r' && firstInvalidLine_ == 0) ++breaks_;
        }
    }

    void Invalid() {
        if (invalid_++ == 0) firstInvalidLine_ = breaks_ + 1;
    }

    Utf8Sequence sequence_;
    int64_t invalid_ = 0;
    int64_t characters_ = 0;
    int64_t breaks_ = 0;  // line breaks (CR) before the first invalid sequence
    int64_t firstInvalidLine_ = 0;
    uint64_t bytes_ = 0;
    uint64_t nulsEven_ = 0;  // NUL bytes at even offsets
    uint64_t nulsOdd_ = 0;
};

// Windows-1252 for 0x80..0x9F; the five unassigned bytes keep their C1 code.
constexpr uint16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t kReplacement = 0xFFFD;

void AppendWithoutNuls(std::string_view bytes, std::string& out) {
    for (std::size_t nul; (nul = bytes.find('\0')) != std::string_view::npos; bytes.remove_prefix(nul + 1)) {
        out.append(bytes.substr(0, nul));
    }
    out.append(bytes);
}

// "1 thing", "2 things".
std::string Counted(int64_t count, const std::string& thing) {
    return std::to_string(count) + " " + thing + (count == 1 ? "" : "s");
}

}  // namespace

std::optional<EncodingNotice> NoticeOf(const EncodingChoice& choice, const std::string& path) {
    const std::string file = "PelmarImpExp: Source file " + path;
    switch (choice.reason) {
        case EncodingChoice::Reason::Utf8:
        case EncodingChoice::Reason::Mark: return std::nullopt;
        case EncodingChoice::Reason::ZeroBytes: {
            const char* order = choice.encoding == TextEncoding::Utf16LE ? "LE" : "BE";
            return EncodingNotice{file + " read as UTF-16 " + order +
                                      ": it has no byte order mark, and its NUL bytes fall on one side of its "
                                      "byte pairs.",
                                  ""};
        }
        case EncodingChoice::Reason::MostlyUtf8: {
            const std::string what = Counted(choice.invalidSequences, "invalid byte sequence") +
                                     " replaced by U+FFFD, the first on line " +
                                     std::to_string(choice.firstInvalidLine);
            return EncodingNotice{file + " read as UTF-8 with " + what + ".",
                                  "The source file is read as UTF-8 with " + what + "."};
        }
        case EncodingChoice::Reason::NotUtf8:
            return EncodingNotice{file + " read as Windows-1252: it is not UTF-8 (" +
                                      Counted(choice.invalidSequences, "invalid byte sequence") + ", " +
                                      Counted(choice.utf8Characters, "UTF-8 character") + ").",
                                  ""};
    }
    return std::nullopt;
}

void TextDecoder::Decode(std::string_view bytes, std::string& out) {
    switch (encoding_) {
        case TextEncoding::Utf8:
            if (replaceInvalid_) {
                DecodeUtf8Replacing(bytes, out);
            } else {
                AppendWithoutNuls(bytes, out);
            }
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

// Valid stretches are copied as they stand; the bytes around a bad or cut
// sequence go one at a time, each invalid sequence giving one U+FFFD.
void TextDecoder::DecodeUtf8Replacing(std::string_view bytes, std::string& out) {
    while (!bytes.empty()) {
        if (utf8_.needed == 0) {
            Utf8Counts ignored;
            const std::size_t valid = ValidUtf8Length(bytes, ignored, false);
            AppendWithoutNuls(bytes.substr(0, valid), out);
            bytes.remove_prefix(valid);
            if (bytes.empty()) break;
        }
        const auto b = static_cast<unsigned char>(bytes.front());
        bytes.remove_prefix(1);
        char32_t cp = 0;
        Utf8Step step = StepUtf8(utf8_, b, cp);
        if (step == Utf8Step::Retry) {
            AppendUtf8(kReplacement, out);
            step = StepUtf8(utf8_, b, cp);
        }
        if (step == Utf8Step::Invalid) AppendUtf8(kReplacement, out);
        if (step == Utf8Step::Character && cp != 0) AppendUtf8(cp, out);
    }
}

void TextDecoder::Finish(std::string& out) {
    if (highSurrogate_ != 0) AppendUtf8(kReplacement, out);
    if (oddByte_ >= 0) AppendUtf8(kReplacement, out);
    if (utf8_.needed != 0) AppendUtf8(kReplacement, out);
    highSurrogate_ = 0;
    oddByte_ = -1;
    utf8_ = Utf8Sequence{};
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

std::string DecodeText(std::string bytes, EncodingChoice* choice) {
    const Mark mark = MarkOf(bytes);
    const std::string_view rest = std::string_view(bytes).substr(mark.length);
    EncodingSurvey survey;
    if (!mark.utf16) survey.Feed(rest);
    const EncodingChoice chosen = survey.Choose(mark);
    if (choice) *choice = chosen;
    if (chosen.encoding == TextEncoding::Utf8 && chosen.invalidSequences == 0) {
        // Decoded where it lies: only the mark and any NULs go.
        bytes.erase(0, mark.length);
        std::erase(bytes, '\0');
        return bytes;
    }
    std::string text;
    TextDecoder decoder(chosen.encoding, chosen.invalidSequences > 0);
    decoder.Decode(rest, text);
    decoder.Finish(text);
    return text;
}

std::string ReadTextFile(const std::string& path, EncodingChoice* choice, std::optional<File::Stamp>* settled) {
    constexpr std::chrono::nanoseconds kClockTick = std::chrono::seconds(2);
    File file(path, File::Mode::Input);
    const auto started = std::chrono::system_clock::now().time_since_epoch();
    const File::Stamp before = file.CurrentStamp();
    std::string text = DecodeText(file.ReadAll(), choice);
    if (settled) {
        const bool unchanged = file.CurrentStamp() == before;
        const bool old = before.modified < std::chrono::nanoseconds(started - kClockTick).count();
        *settled = unchanged && old ? std::optional(before) : std::nullopt;
    }
    return text;
}

bool StillAsRead(const std::string& path, const std::optional<File::Stamp>& settled) {
    return settled && StampOf(path) == settled;
}

TextFileReader::TextFileReader(const std::string& path, std::size_t chunkSize)
        : file_(path, File::Mode::Input), byteSize_(file_.Size()) {
    // A small file needs no more room than its size (and a read that finds its end).
    chunkSize_ = static_cast<std::size_t>(std::clamp<uint64_t>(byteSize_ + 1, 1, std::max<std::size_t>(chunkSize, 1)));
    chunk_.assign(chunkSize_, '\0');
    choice_ = ChooseEncoding();
    decoder_ = TextDecoder(choice_.encoding, choice_.invalidSequences > 0);
    file_.Rewind();
}

EncodingChoice TextFileReader::ChooseEncoding() {
    char head[3];
    std::size_t got = 0;
    for (std::size_t n; got < sizeof head && (n = file_.Read(head + got, sizeof head - got)) > 0;) got += n;
    const Mark mark = MarkOf(std::string_view(head, got));
    markLeft_ = mark.length;
    EncodingSurvey survey;
    if (!mark.utf16) {
        survey.Feed(std::string_view(head, got).substr(mark.length));
        for (std::size_t n; (n = file_.Read(chunk_.data(), chunkSize_)) > 0;) {
            survey.Feed(std::string_view(chunk_.data(), n));
        }
    }
    return survey.Choose(mark);
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
    // Every LF ends a line, and every CR that no LF follows (CR LF is one
    // break); find() is memchr, many times faster than a loop over the bytes.
    int64_t breaks = 0;
    for (std::size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', lf + 1)) ++breaks;
    for (std::size_t cr = text.find('\r'); cr != std::string_view::npos; cr = text.find('\r', cr + 1))
        if (cr + 1 == text.size() || text[cr + 1] != '\n') ++breaks;
    if (breaks >= INT32_MAX) throw Error(errnum::Overflow, "Overflow");
    return static_cast<int32_t>(breaks + 1);
}

}  // namespace pelmar
