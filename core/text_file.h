#pragma once
// Reading a source file as text, decoded to UTF-8:
//   - a UTF-8 byte order mark is dropped;
//   - UTF-16 (little or big endian) with its byte order mark is decoded;
//   - otherwise a file that is valid UTF-8 as a whole stays as it is, and any
//     other file is read as Windows-1252, byte by byte.
// NUL characters are dropped while decoding: no text box or database column
// keeps them, and a UTF-16 file saved without its mark then still reads as
// its plain ASCII text.
//
// Lines end at a carriage return or at a carriage return followed by a line
// feed; a line feed alone stays inside the line.
#include <cstdint>
#include <string>
#include <string_view>

#include "common/file.h"

namespace pelmar {

// Decodes a file's bytes as described above.
std::string DecodeText(std::string bytes);

// Reads and decodes the file at `path`.
std::string ReadTextFile(const std::string& path);

enum class TextEncoding { Utf8, Windows1252, Utf16LE, Utf16BE };

// Decodes bytes of one encoding, after any mark, piece by piece: a character
// cut by the end of one piece is completed by the next. NULs are dropped;
// UTF-8 is taken as already checked.
class TextDecoder {
public:
    explicit TextDecoder(TextEncoding encoding) noexcept : encoding_(encoding) {}

    // Appends the text of the next bytes to `out`.
    void Decode(std::string_view bytes, std::string& out);
    // After the last bytes: a UTF-16 unit or pair left cut reads as U+FFFD.
    void Finish(std::string& out);

private:
    void AppendUtf16Unit(char32_t unit, std::string& out);

    TextEncoding encoding_;
    char32_t highSurrogate_ = 0;  // waiting for its low half
    int oddByte_ = -1;            // first byte of a UTF-16 unit
};

// Reads a file line by line a chunk at a time, so that a large file is never
// held whole: only the chunk being decoded and the lines not yet read are.
// Whether a file without a UTF-16 mark is UTF-8 depends on all of it, so such
// a file is read through once to check before its first line is returned.
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

private:
    // Reads the file through once: its mark, and whether the rest is UTF-8.
    TextEncoding ChooseEncoding();
    // Decodes the next chunk onto the unread text, first dropping what was read.
    void ReadChunk();

    File file_;
    std::size_t chunkSize_;
    uint64_t byteSize_;
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
