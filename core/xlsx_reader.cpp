#include "core/xlsx_reader.h"

#include <algorithm>
#include <limits>

#include "common/error.h"
#include "common/text.h"
#include "common/ui.h"
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

bool IsBlankRow(std::span<const std::string> cells) {
    return std::ranges::all_of(
        cells, [](const std::string& cell) { return cell.find_first_not_of(" \t") == std::string::npos; });
}

// Lists the rows into the record store as the CSV listing lists records.
class ListingSink : public xlsx::SheetSink {
public:
    ListingSink(const XlsxListingJob& job, RecordStore& rows, std::vector<std::string>& header, ProgressBar& progress)
            : job_(job), rows_(rows), header_(header), progress_(progress), headerRead_(!job.header) {}

    void Extent(int32_t lastRow) override { progress_.SetMax(lastRow); }

    void Row(int32_t number, std::span<const std::string> cells) override {
        // Now and then: each step of the bar may repaint a window.
        if (number % 256 == 0 && number <= progress_.Max()) progress_.SetValue(number);
        if (IsBlankRow(cells)) return;
        if (!headerRead_) {
            header_.assign(cells.begin(), cells.end());
            headerRead_ = true;
            columns_ = header_.size();
            return;
        }
        if (number < job_.startRow) return;
        rows_.AddRow(number, cells.front());
        for (std::size_t i = 1; i < cells.size(); ++i) rows_.AddSubItem(cells[i]);
        columns_ = std::max(columns_, cells.size());
    }

    std::size_t Held() const override { return rows_.MemoryUsage(); }

    std::size_t Columns() const { return columns_; }

private:
    const XlsxListingJob& job_;
    RecordStore& rows_;
    std::vector<std::string>& header_;
    ProgressBar& progress_;
    bool headerRead_;
    std::size_t columns_ = 0;
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
    bool listed = true;
    std::string reason;
    try {
        rows.Clear();
        header.clear();
        observer.SetBusy(true);
        ProgressBar& progress = observer.Progress();
        progress.SetVisible(true);
        progress.SetMin(0);
        progress.SetValue(0);
        progress.SetMax(0);

        ListingSink sink(job, rows, header, progress);
        ReadXlsxSheet(Trim(job.sourceFile), {.sheet = job.sheet, .limits = job.limits}, sink);
        if (sink.Columns() > static_cast<std::size_t>(std::numeric_limits<int16_t>::max()))
            throw Error(errnum::Overflow, "Overflow");
        rows.SetColumnCount(static_cast<int32_t>(sink.Columns()));
        progress.SetValue(progress.Max());
    } catch (...) {
        listed = false;
        const ErrorInfo error = CurrentErrorInfo();
        reason = error.Description;
        rows.Clear();
        header.clear();
        observer.RecordError(error, "Error occurred while listing data. Sub: ListXlsxSource", LogStamp::None);
    }
    observer.Progress().SetVisible(false);
    if (!listed)
        observer.ShowMessage("Cannot read the workbook '" + Trim(job.sourceFile) + "': " + reason, msgbox::Critical);
    observer.SetBusy(false);
    return listed;
}

}  // namespace pelmar
