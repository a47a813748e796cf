#include "core/listing.h"

#include <algorithm>
#include <limits>
#include <string_view>

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

bool IsBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::string_view DropLastChar(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && (static_cast<unsigned char>(text[end - 1]) & 0xC0) == 0x80) --end;
    return text.substr(0, end > 0 ? end - 1 : 0);
}

// A field that starts with a double quote loses its last and then its first
// character; nothing else is done about quotes.
std::string_view Unquote(std::string_view field) {
    if (IsBlank(field) || field.front() != '"') return field;
    field = DropLastChar(field);
    if (!IsBlank(field)) field.remove_prefix(1);
    return field;
}

// The delimiter's position is held in a 16-bit counter: a delimiter past
// character 32,767 of what is left of the line overflows it.
void CheckDelimiterPosition(std::string_view line, std::size_t byteOffset) {
    constexpr std::size_t kMax = std::numeric_limits<int16_t>::max();
    if (byteOffset < kMax) return;  // never more characters than bytes
    CheckedInt16(static_cast<int64_t>(CharCount(line.substr(0, byteOffset))) + 1);
}

// Cuts `columns` fields from the front of `line` into a new row.
void ListLine(RecordStore& list, std::string_view line, std::string_view delimiter, int32_t lineNumber,
              int32_t columns) {
    bool remainderTaken = false;
    for (int32_t i = 1; i <= columns; ++i) {
        std::string_view field;
        std::size_t cut = 0;
        const std::size_t at = line.find(delimiter);
        if (at != std::string_view::npos) {
            CheckDelimiterPosition(line, at);
            field = line.substr(0, at);
            cut = at + delimiter.size();
        } else if (!remainderTaken) {
            field = line;
            remainderTaken = true;
        }
        field = Unquote(field);
        line.remove_prefix(cut);
        if (i == 1) {
            list.AddRow(lineNumber, field);
        } else {
            list.AddSubItem(field);
        }
    }
}

}  // namespace

void ListSource(const ListingJob& job, RecordStore& list, RunObserver& observer) {
    bool errorFlag = false;
    const auto recordError = [&] {
        errorFlag = true;
        observer.RecordError(CurrentErrorInfo(), kListingError, LogStamp::None);
    };
    std::string delimiter;
    AppendUtf8(job.delimiter, delimiter);

    // Until the start row is read any failure ends the run, as does a file
    // that cannot be read on; a line that cannot be listed is recorded and
    // the next one listed.
    try {
        list.Clear();
        observer.SetBusy(true);
        // One pass over the file, a chunk at a time: the lines before the
        // start row are skipped, the start row sets the columns and is the
        // first row listed.
        TextFileReader reader(Trim(job.sourceFile));

        int32_t lineCounter = 0;
        std::string_view startLine;
        while (job.startRow > lineCounter) {
            startLine = reader.ReadLine();
            ++lineCounter;
        }

        const int32_t columns = CountPieces(startLine, delimiter);
        list.SetColumnCount(columns);
        if (columns > 0) {
            // The file check counted the lines; a line takes at least a byte.
            const uint64_t textBytes = reader.ByteSize();
            const auto rows = static_cast<std::size_t>(
                std::min<uint64_t>(static_cast<uint64_t>(std::max(job.sourceLineCount, 0)), textBytes + 1));
            const std::size_t subItems = rows * static_cast<std::size_t>(columns - 1);
            list.Reserve(rows, rows + std::min<std::size_t>(subItems, textBytes), textBytes);
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
                ListLine(list, line, delimiter, lineCounter, columns);
                progress.Step();
            } catch (...) {
                recordError();
            }
        };
        if (lineCounter > 0) listLine(startLine, true);
        while (!reader.AtEnd()) listLine(reader.ReadLine(), false);
    } catch (...) {
        recordError();
    }

    observer.Progress().SetVisible(false);
    if (errorFlag)
        observer.ShowMessage("An error has occurred while listing data.\r\nFor detail view log.", msgbox::Critical);
    observer.SetBusy(false);
}

}  // namespace pelmar
