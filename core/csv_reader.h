#pragma once
// Delimited text the way most programs write it (RFC 4180): a field in
// double quotes may hold the delimiter, line breaks, and doubled quotes that
// stand for one; records end at LF, CR LF or CR. Beyond the RFC, as files
// from other programs need: any one-character delimiter, records of any
// number of fields, and a quote inside an unquoted field kept as it is.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace pelmar {

struct CsvRecord {
    int32_t line = 0;                      // the file's line the record starts on, from 1
    std::vector<std::string_view> fields;  // at least one; valid while the sink runs
};

// Reads text piece by piece (a piece may end anywhere, inside a character
// too) and hands every complete record to a sink.
class CsvParser {
public:
    using Sink = std::function<void(const CsvRecord&)>;

    explicit CsvParser(char32_t delimiter);

    void Feed(std::string_view text, const Sink& sink);
    // After the last piece: the last record, when no line break ended it. A
    // quote left open takes the rest of the text into its field.
    void Finish(const Sink& sink);

    // Lines started so far (a break inside quotes starts one too).
    int32_t Line() const noexcept { return line_; }

private:
    enum class State { FieldStart, Unquoted, Quoted, QuoteInQuoted };

    void Take(char c, const Sink& sink);
    void Text(char c, const Sink& sink);  // a byte outside quotes that is no delimiter
    void EndField();
    void EndRecord(const Sink& sink);
    void FlushPartialDelimiter(const Sink& sink);

    std::string delimiter_;    // its UTF-8 bytes
    std::size_t matched_ = 0;  // bytes of the delimiter seen so far
    State state_ = State::FieldStart;
    bool afterCR_ = false;
    int32_t line_ = 1;
    int32_t recordLine_ = 1;
    std::string text_;               // the record's field texts, back to back
    std::vector<std::size_t> ends_;  // where each finished field ends in text_
    CsvRecord record_;
};

// Every record of `text`, for callers that hold the whole text.
std::vector<std::vector<std::string>> ParseCsv(std::string_view text, char32_t delimiter);

// One field as a CSV writer writes it: in double quotes, with its quotes
// doubled, when it holds the delimiter, a quote or a line break (or starts or
// ends with a blank, which readers may trim); as it is otherwise.
std::string CsvField(std::string_view value, char32_t delimiter);
// Fields joined by the delimiter, each as CsvField writes it; no line end.
std::string CsvLine(const std::vector<std::string>& fields, char32_t delimiter);

}  // namespace pelmar
