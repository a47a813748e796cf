#include "core/xlsx_reader.h"

#include "common/error.h"
#include "common/text.h"
#include "core/csv_reader.h"
#include "core/listing_frame.h"
#include "core/xlsx_shared_strings.h"
#include "core/xlsx_styles.h"
#include "core/xlsx_workbook.h"

namespace pelmar {
namespace {

void ReadFrom(const xlsx::ZipArchive& archive, const XlsxReadOptions& options, xlsx::SheetSink& sink) {
    const xlsx::WorkbookParts parts = xlsx::FindWorkbookParts(archive, options.sheet);
    xlsx::CellStyles styles;
    styles.Load(archive, parts.styles);
    xlsx::SharedStrings strings;
    strings.Load(archive, parts.sharedStrings, options.limits);

    // The shared strings are held beside what the sink keeps.
    class Counted : public xlsx::SheetSink {
    public:
        Counted(xlsx::SheetSink& sink, std::size_t strings) : sink_(sink), strings_(strings) {}
        void Extent(int32_t lastRow) override { sink_.Extent(lastRow); }
        void Row(int32_t number, std::span<const std::string> cells) override { sink_.Row(number, cells); }
        std::size_t Held() const override { return sink_.Held() + strings_; }

    private:
        xlsx::SheetSink& sink_;
        std::size_t strings_;
    } counted(sink, strings.MemoryUsage());
    xlsx::ReadSheet(archive, parts, strings, styles, options.limits, counted);
}

// Lists the rows into the record store as the CSV listing lists records.
class ListingSink : public xlsx::SheetSink {
public:
    ListingSink(ListedRows& rows, ProgressBar& progress) : rows_(rows), progress_(progress) {}

    void Extent(int32_t lastRow) override { progress_.SetMax(lastRow); }

    void Row(int32_t number, std::span<const std::string> cells) override {
        // Now and then: each step of the bar may repaint a window.
        if (number % 256 == 0 && number <= progress_.Max()) progress_.SetValue(number);
        rows_.Add(number, cells);
    }

    std::size_t Held() const override { return rows_.MemoryUsage(); }

private:
    ListedRows& rows_;
    ProgressBar& progress_;
};

}  // namespace

void ReadXlsxSheet(const std::string& path, const XlsxReadOptions& options, xlsx::SheetSink& sink) {
    ReadFrom(xlsx::ZipArchive(path, options.limits), options, sink);
}

void ReadXlsxSheetFromBytes(std::string_view bytes, const XlsxReadOptions& options, xlsx::SheetSink& sink) {
    ReadFrom(xlsx::ZipArchive(bytes, options.limits), options, sink);
}

bool ListXlsxSource(const XlsxListingJob& job, RecordStore& rows, std::vector<std::string>& header,
                    RunObserver& observer) {
    const std::string source = Trim(job.sourceFile);
    const ListingFrame frame{
        .routine = "ListXlsxSource", .keepRowsOnFailure = false, .failureMessage = [&](const ErrorInfo& error) {
            return "Cannot read the workbook '" + source + "': " + error.Description;
        }};
    return RunListing(frame, rows, header, 0, observer, [&](ProgressBar& progress) {
        ListedRows listed(rows, header, job.header, job.startRow);
        ListingSink sink(listed, progress);
        ReadXlsxSheet(source, {.sheet = job.sheet, .limits = job.limits}, sink);
        listed.Finish();
    });
}

std::string XlsxSheetText(const std::string& path, const XlsxReadOptions& options) {
    class Text : public xlsx::SheetSink {
    public:
        void Row(int32_t, std::span<const std::string> cells) override {
            if (cells.empty()) return;
            text += CsvLine({cells.begin(), cells.end()}, U',');
            text += "\r\n";
        }
        std::size_t Held() const override { return text.size(); }
        std::string text;
    } sink;
    ReadXlsxSheet(path, options, sink);
    return std::move(sink.text);
}

}  // namespace pelmar
