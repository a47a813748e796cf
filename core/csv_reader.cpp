#include "core/csv_reader.h"

#include <limits>

#include "common/error.h"
#include "common/text.h"

namespace pelmar {

CsvParser::CsvParser(char32_t delimiter) { AppendUtf8(delimiter, delimiter_); }

void CsvParser::Feed(std::string_view text, const Sink& sink) {
    for (const char c : text) Take(c, sink);
}

void CsvParser::Finish(const Sink& sink) {
    FlushPartialDelimiter(sink);
    if (state_ != State::FieldStart || !ends_.empty() || !text_.empty()) EndRecord(sink);
}

void CsvParser::Take(char c, const Sink& sink) {
    // The LF of a CR LF belongs to the break the CR made.
    const bool lfOfCrLf = afterCR_ && c == '\n';
    afterCR_ = c == '\r';
    if (state_ == State::Quoted) {
        if (c == '"') {
            state_ = State::QuoteInQuoted;
        } else {
            if (c == '\r' || (c == '\n' && !lfOfCrLf)) {
                if (line_ == std::numeric_limits<int32_t>::max()) throw Error(errnum::Overflow, "Overflow");
                ++line_;
            }
            text_ += c;
        }
        return;
    }
    if (lfOfCrLf) return;

    // The delimiter may take several bytes (a character beyond ASCII), and a
    // piece may end inside it.
    if (c == delimiter_[matched_]) {
        if (++matched_ < delimiter_.size()) return;
        matched_ = 0;
        EndField();
        state_ = State::FieldStart;
        return;
    }
    FlushPartialDelimiter(sink);
    if (c == delimiter_[0]) {
        Take(c, sink);
        return;
    }
    Text(c, sink);
}

void CsvParser::Text(char c, const Sink& sink) {
    if (c == '\r' || c == '\n') {
        EndRecord(sink);
        if (line_ == std::numeric_limits<int32_t>::max()) throw Error(errnum::Overflow, "Overflow");
        recordLine_ = ++line_;
        return;
    }
    if (c == '"' && state_ == State::FieldStart) {
        state_ = State::Quoted;
        return;
    }
    // After a closing quote, a second quote is a doubled one; anything else
    // carries on the field unquoted.
    if (c == '"' && state_ == State::QuoteInQuoted) {
        text_ += c;
        state_ = State::Quoted;
        return;
    }
    text_ += c;
    state_ = State::Unquoted;
}

void CsvParser::FlushPartialDelimiter(const Sink& sink) {
    const std::size_t partial = matched_;
    matched_ = 0;
    for (std::size_t i = 0; i < partial; ++i) Text(delimiter_[i], sink);
}

void CsvParser::EndField() { ends_.push_back(text_.size()); }

void CsvParser::EndRecord(const Sink& sink) {
    EndField();
    record_.line = recordLine_;
    record_.fields.clear();
    std::size_t begin = 0;
    for (const std::size_t end : ends_) {
        record_.fields.emplace_back(text_.data() + begin, end - begin);
        begin = end;
    }
    sink(record_);
    text_.clear();
    ends_.clear();
    state_ = State::FieldStart;
}

std::vector<std::vector<std::string>> ParseCsv(std::string_view text, char32_t delimiter) {
    std::vector<std::vector<std::string>> records;
    const CsvParser::Sink keep = [&](const CsvRecord& record) {
        records.emplace_back(record.fields.begin(), record.fields.end());
    };
    CsvParser parser(delimiter);
    parser.Feed(text, keep);
    parser.Finish(keep);
    return records;
}

std::string CsvField(std::string_view value, char32_t delimiter) {
    std::string delimiterText;
    AppendUtf8(delimiter, delimiterText);
    const bool quoted = value.find(delimiterText) != std::string_view::npos ||
                        value.find_first_of("\"\r\n") != std::string_view::npos ||
                        (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!quoted) return std::string(value);
    return "\"" + ReplaceAll(value, "\"", "\"\"") + "\"";
}

std::string CsvLine(const std::vector<std::string>& fields, char32_t delimiter) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) AppendUtf8(delimiter, line);
        line += CsvField(fields[i], delimiter);
    }
    return line;
}

}  // namespace pelmar
