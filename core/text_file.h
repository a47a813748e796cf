#pragma once
// Reading a source file as text, decoded to UTF-8. The encoding is settled
// once per file, from all of its bytes:
//   - a byte order mark says it: UTF-16 LE or BE is decoded, a UTF-8 mark is
//     dropped and the rest is read as below;
//   - without a mark, a file whose NUL bytes fall on one side of its byte
//     pairs is UTF-16 (NULs at odd offsets: little endian, at even ones: big
//     endian). That side must hold a NUL in at least one pair in ten, and the
//     other side at most one NUL for every ten of it;
//   - otherwise the file is UTF-8 unless it has invalid UTF-8 sequences and
//     more of them than well-formed multi-byte characters: then it is read as
//     Windows-1252, byte by byte. A UTF-8 file with a few bad bytes stays
//     UTF-8; each invalid sequence (a maximal ill-formed subpart, as the
//     Unicode standard counts them) becomes U+FFFD.
// NUL characters are dropped while decoding: no text box or database column
// keeps them.
//
// Lines end at a carriage return or at a carriage return followed by a line
// feed; a line feed alone stays inside the line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/file.h"

namespace pelmar {

enum class TextEncoding { Utf8, Windows1252, Utf16LE, Utf16BE };

// How a file's encoding was settled.
struct EncodingChoice {
    enum class Reason {
        Utf8,        // valid UTF-8 (plain ASCII included), without a mark
        Mark,        // its byte order mark; a UTF-8 one with valid UTF-8 after it
        ZeroBytes,   // UTF-16 without a mark, by its NUL bytes
        MostlyUtf8,  // UTF-8 with invalid sequences replaced
        NotUtf8,     // Windows-1252: more invalid sequences than UTF-8 characters
    };
    TextEncoding encoding = TextEncoding::Utf8;
    Reason reason = Reason::Utf8;
    int64_t invalidSequences = 0;  // not counted for UTF-16
    int64_t utf8Characters = 0;    // well-formed characters of two bytes or more
    // The line of the first invalid sequence, counted as the listing counts
    // them (from 1, ended by CR or CR LF); 0 for none.
    int64_t firstInvalidLine = 0;
};

// What is said about a choice that was not plain: a log line, and for
// replaced bytes a warning for the user too (empty otherwise).
struct EncodingNotice {
    std::string logLine;
    std::string warning;
};
// Nothing for a file that is valid UTF-8 or says what it is with its mark.
std::optional<EncodingNotice> NoticeOf(const EncodingChoice& choice, const std::string& path);

// Decodes a file's bytes as described above; `choice`, when given, receives
// how.
std::string DecodeText(std::string bytes, EncodingChoice* choice = nullptr);

// Reads and decodes the file at `path`. `settled`, when given, receives the
// file's stamp if the text may stand for the file for as long as the stamp
// holds: the file did not change while it was read, and its bytes last
// changed well before (a later write within the same tick of the file
// system's clock, two seconds on FAT, would keep the time); nothing otherwise.
std::string ReadTextFile(const std::string& path, EncodingChoice* choice = nullptr,
                         std::optional<File::Stamp>* settled = nullptr);

// True when the file at `path` still has the stamp ReadTextFile gave as
// settled: its text may then be used instead of reading the file again.
bool StillAsRead(const std::string& path, const std::optional<File::Stamp>& settled);

// A UTF-8 sequence under way while bytes are read one at a time.
struct Utf8Sequence {
    char32_t code = 0;
    int needed = 0;  // continuation bytes still to come
    int seen = 0;
    unsigned char lower = 0x80, upper = 0xBF;  // the range of the next one
};

// Decodes bytes of one encoding, after any mark, piece by piece: a character
// cut by the end of one piece is completed by the next. NULs are dropped.
// UTF-8 is taken as already checked unless `replaceInvalid` asks for each
// invalid sequence to become U+FFFD.
class TextDecoder {
public:
    explicit TextDecoder(TextEncoding encoding, bool replaceInvalid = false) noexcept
            : encoding_(encoding), replaceInvalid_(replaceInvalid) {}

    // Appends the text of the next bytes to `out`.
    void Decode(std::string_view bytes, std::string& out);
    // After the last bytes: a UTF-16 unit or pair, or a UTF-8 sequence being
    // replaced, left cut reads as U+FFFD.
    void Finish(std::string& out);

private:
    void AppendUtf16Unit(char32_t unit, std::string& out);
    void DecodeUtf8Replacing(std::string_view bytes, std::string& out);

    TextEncoding encoding_;
    bool replaceInvalid_;
    char32_t highSurrogate_ = 0;  // waiting for its low half
    int oddByte_ = -1;            // first byte of a UTF-16 unit
    Utf8Sequence utf8_;           // replacing only
};

// Kept on purpose: docs/behaviour.md#lines-end-at-cr
// Reads a file line by line a chunk at a time, so that a large file is never
// held whole: only the chunk being decoded and the lines not yet read are.
// The encoding of a file without a UTF-16 mark depends on all of it, so such
// a file is read through once before its first line is returned.
class TextFileReader {
public:
    static constexpr std::size_t kChunkSize = std::size_t{1} << 20;

    explicit TextFileReader(const std::string& path, std::size_t chunkSize = kChunkSize);

    // May read ahead to find out.
    bool AtEnd();
    // The next line without its terminator, valid until the next call to
    // AtEnd or ReadLine; throws errnum::InputPastEndOfFile when no line is left.
    std::string_view ReadLine();
    // For readers that find their own line ends: the decoded text of the
    // next chunk, valid until the next call; empty only at the end of the
    // file. A character may be cut between two pieces. Not for mixing with
    // ReadLine.
    std::string_view ReadPiece();

    // The file's size in bytes: room enough for the decoded text of most files.
    uint64_t ByteSize() const { return byteSize_; }
    // How the file is decoded.
    const EncodingChoice& Choice() const { return choice_; }

private:
    // Reads the file through once to settle its encoding.
    EncodingChoice ChooseEncoding();
    // Decodes the next chunk onto the unread text, first dropping what was read.
    void ReadChunk();

    File file_;
    uint64_t byteSize_;
    std::size_t chunkSize_;
    EncodingChoice choice_;
    std::string chunk_;  // raw bytes, one chunk
    TextDecoder decoder_{TextEncoding::Utf8};
    std::size_t markLeft_ = 0;  // byte order mark bytes still to skip
    std::string text_;          // decoded text not yet returned, from pos_ on
    std::size_t pos_ = 0;
    bool atFileEnd_ = false;
};

// The number of lines a text box shows for `text`: every CR LF, CR and lone LF
// breaks a line, so it is the number of breaks plus one (1 for empty text).
int32_t PreviewLineCount(std::string_view text);

}  // namespace pelmar
