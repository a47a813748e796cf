#include "core/listing.h"

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "common/error.h"
#include "common/text.h"
#include "common/ui.h"
#include "core/text_file.h"

namespace pelmar {
namespace {

constexpr const char* kListingError = "Error occurred while listing data. Sub: ImportFile";

// Pieces of the start row split at every delimiter, empty ones kept; an empty
// row has none.
int32_t CountPieces(std::string_view row, std::string_view delimiter) {
    if (row.empty()) return 0;
    int64_t pieces = 1;
    for (std::size_t at = row.find(delimiter); at != std::string_view::npos;
         at = row.find(delimiter, at + delimiter.size())) {
        ++pieces;
    }
    if (pieces > std::numeric_limits<int32_t>::max()) throw Error(errnum::Overflow, "Overflow");
    return static_cast<int32_t>(pieces);
}

// Kept on purpose: docs/behaviour.md#the-16-bit-delimiter-position
// The delimiter's position is held in a 16-bit counter: a delimiter past
// character 32,767 of what is left of the line overflows it.
void CheckDelimiterPosition(std::string_view line, std::size_t byteOffset) {
    constexpr std::size_t kMax = std::numeric_limits<int16_t>::max();
    if (byteOffset < kMax) return;  // never more characters than bytes
    CheckedInt16(static_cast<int64_t>(CharCount(line.substr(0, byteOffset))) + 1);
}

// Cuts `columns` fields from the front of `line` into a new row: where each
// field ends, up to the one that took the rest of the line (the fields after
// it are empty). A line that fails part-way still gets its row, with the
// fields cut before the failure.
void ListLine(RecordStore& list, std::string_view line, std::string_view delimiter, int32_t lineNumber, int32_t columns,
              std::vector<uint32_t>& ends) {
    if (columns == 0) return;  // an empty start row: no columns, no rows
    ends.clear();
    std::size_t offset = 0;  // of what is left of the line
    int32_t cut = 0;
    try {
        for (; cut < columns; ++cut) {
            const std::size_t at = line.find(delimiter, offset);
            if (at == std::string_view::npos) {
                ends.push_back(static_cast<uint32_t>(line.size()));
                cut = columns;  // the rest of the line is taken; the fields after it are empty
                break;
            }
            CheckDelimiterPosition(line.substr(offset), at - offset);
            ends.push_back(static_cast<uint32_t>(at));
            offset = at + delimiter.size();
        }
    } catch (...) {
        if (cut > 0)
            list.AddLine(lineNumber, line, ends, static_cast<uint32_t>(cut), static_cast<uint32_t>(delimiter.size()));
        throw;
    }
    list.AddLine(lineNumber, line, ends, static_cast<uint32_t>(columns), static_cast<uint32_t>(delimiter.size()));
}

// The source's lines. While the file is as it was when the preview was read
// from it, they are cut from the preview as the file reader cuts them.
// Otherwise the file is read again (it may have changed since) and each line
// is placed where it lies in the preview, so that the record store refers to
// it there; from the first line that differs on, lines are copied.
class SourceLines {
public:
    explicit SourceLines(const ListingJob& job)
            : preview_(job.preview ? std::string_view(*job.preview) : std::string_view()),
              matching_(job.preview != nullptr) {
        const std::string path = Trim(job.sourceFile);
        if (job.preview && StillAsRead(path, job.previewStamp)) return;
        reader_.emplace(path);
    }

    // The text's size in bytes, or the file's: room enough for most files' text.
    uint64_t ByteSize() const { return reader_ ? reader_->ByteSize() : preview_.size(); }

    bool AtEnd() { return reader_ ? reader_->AtEnd() : at_ >= preview_.size(); }

    // The next line without its terminator; throws errnum::InputPastEndOfFile
    // when no line is left.
    std::string_view ReadLine() {
        if (reader_) return Place(reader_->ReadLine());
        if (AtEnd()) throw Error(errnum::InputPastEndOfFile, "Input past end of file");
        const std::size_t from = at_;
        at_ = std::min(preview_.find('\r', from), preview_.size());
        const std::string_view line = preview_.substr(from, at_ - from);
        SkipTerminator();
        return line;
    }

private:
    // `line` as it lies in the preview, or `line` itself once they differ.
    std::string_view Place(std::string_view line) {
        if (!matching_ || preview_.compare(at_, line.size(), line) != 0) {
            matching_ = false;
            return line;
        }
        const std::string_view placed = preview_.substr(at_, line.size());
        at_ += line.size();
        SkipTerminator();
        return placed;
    }

    // Past a line's terminator: CR, or CR LF.
    void SkipTerminator() {
        if (at_ < preview_.size() && preview_[at_] == '\r') ++at_;
        if (at_ < preview_.size() && preview_[at_] == '\n' && preview_[at_ - 1] == '\r') ++at_;
    }

    std::string_view preview_;
    std::size_t at_ = 0;
    bool matching_;
    std::optional<TextFileReader> reader_;
};

}  // namespace

void ListSource(const ListingJob& job, RecordStore& list, RunObserver& observer) {
    const BusyPointer busy(observer);
    bool errorFlag = false;
    const auto recordError = [&] {
        errorFlag = true;
        observer.RecordError(CurrentErrorInfo(), kListingError, LogStamp::None);
    };
    std::string delimiter;
    AppendUtf8(job.delimiter, delimiter);
    std::vector<uint32_t> ends;

    // Until the start row is read any failure ends the run, as does a file
    // that cannot be read on; a line that cannot be listed is recorded and
    // the next one listed.
    try {
        list.Clear();
        list.ShareText(job.preview);
        // One pass over the lines: those before the start row are skipped,
        // the start row sets the columns and is the first row listed.
        SourceLines lines(job);

        int32_t lineCounter = 0;
        std::string_view startLine;
        while (job.startRow > lineCounter) {
            startLine = lines.ReadLine();
            ++lineCounter;
        }

        const int32_t columns = CountPieces(startLine, delimiter);
        list.SetColumnCount(columns);
        if (columns > 0) {
            // The file check counted the lines; a line takes at least a byte.
            const uint64_t textBytes = lines.ByteSize();
            const auto rows = static_cast<std::size_t>(
                std::min<uint64_t>(static_cast<uint64_t>(std::max(job.sourceLineCount, 0)), textBytes + 1));
            const std::size_t fields =
                std::min<std::size_t>(rows * static_cast<std::size_t>(columns), textBytes + rows);
            list.Reserve(rows, fields, job.preview ? 0 : textBytes);
        }

        ProgressBar& progress = observer.Progress();
        progress.SetVisible(true);
        progress.SetMin(0);
        progress.SetValue(0);
        progress.SetMax(job.sourceLineCount);
        progress.SetValue(progress.Min());

        // A line that cannot be listed is recorded; the row built so far
        // stays and the next line is listed.
        const auto listLine = [&](std::string_view line, bool isStartRow) {
            try {
                if (!isStartRow) {  // the start row was counted as it was read
                    if (lineCounter == std::numeric_limits<int32_t>::max()) throw Error(errnum::Overflow, "Overflow");
                    ++lineCounter;
                }
                ListLine(list, line, delimiter, lineCounter, columns, ends);
                progress.Step();
            } catch (...) {
                recordError();
            }
        };
        if (lineCounter > 0) listLine(startLine, true);
        while (!lines.AtEnd()) listLine(lines.ReadLine(), false);
    } catch (...) {
        recordError();
    }

    observer.Progress().SetVisible(false);
    if (errorFlag)
        observer.ShowMessage("An error has occurred while listing data.\r\nFor detail view log.", msgbox::Critical);
}

}  // namespace pelmar
