#pragma once
// Reading a source file as text. The whole file is read at once and decoded
// to UTF-8:
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

namespace pelmar {

// Decodes a file's bytes as described above.
std::string DecodeText(std::string bytes);

// Reads and decodes the file at `path`.
std::string ReadTextFile(const std::string& path);

// Reads decoded text line by line without copying it.
class LineReader {
public:
    explicit LineReader(std::string_view text) noexcept : text_(text) {}

    bool AtEnd() const noexcept { return pos_ >= text_.size(); }
    // The next line without its terminator; throws errnum::InputPastEndOfFile
    // when no line is left.
    std::string_view ReadLine();

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// The number of lines a text box shows for `text`: every CR LF, CR and lone LF
// breaks a line, so it is the number of breaks plus one (1 for empty text).
int32_t PreviewLineCount(std::string_view text);

}  // namespace pelmar
