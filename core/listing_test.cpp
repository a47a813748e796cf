// The listing over the preview the file check kept: cut from it while the file
// is as it was read, else read again sharing the preview's lines while they
// match. (What a line lists as is tested through the wizard's ImportFile.)
#include "core/listing.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "common/file.h"
#include "common/ui.h"
#include "core/csv_listing.h"
#include "core/text_file.h"
#include "testing/listed_rows.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

class Observer : public RunObserver {
public:
    void ShowMessage(const std::string& prompt, int32_t style) override {
        calls += "message(" + prompt + "," + std::to_string(style) + ") ";
    }
    void RecordError(const ErrorInfo& error, const std::string& message, LogStamp) noexcept override {
        calls += "error(" + message + ": " + error.Description + ") ";
    }
    ProgressBar& Progress() override { return bar; }
    void SetBusy(bool busy) noexcept override { calls += busy ? "busy " : "idle "; }

    ProgressBar bar;
    std::string calls;
};

TEST(ListingTest, PreviewIsCutWhileTheFileIsAsReadAndSharedWhileItMatches) {
    test::TempDir folder;
    const std::string source = folder.file("in.csv");
    const std::string bytes = "Name;Mobile\r\nAnn;98100\rBo;98101;x\r\nCy\r\n";
    test::WriteFile(source, bytes);
    const File::Stamp now = StampOf(source).value();
    File::Stamp before = now;
    --before.modified;
    const auto text = [](const char* t) { return std::make_shared<const std::string>(t); };
    const std::string listed = "CN2:Ann|98100 CN3:Bo|98101 CN4:Cy| ";
    const std::string changed = "Name;Mobile\r\nAnn;98100\rBob;1\r\n";
    const struct {
        const char* name;
        std::shared_ptr<const std::string> preview;
        std::optional<File::Stamp> stamp;
        std::string rows;
    } cases[] = {
        {"no preview", nullptr, now, listed},
        {"the file's own", text(bytes.c_str()), std::nullopt, listed},
        {"the file's own, as it still is", text(bytes.c_str()), now, listed},
        {"changed from the third line", text(changed.c_str()), std::nullopt, listed},
        {"changed at the first", text("X\r\n"), std::nullopt, listed},
        {"of the file as it was", text(changed.c_str()), before, listed},
        // Only the stamp tells: a preview that stands for the file is not read again.
        {"of the file as it is", text(changed.c_str()), now, "CN2:Ann|98100 CN3:Bob|1 "},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RecordStore rows;
        Observer observer;
        ListSource({.sourceFile = "  " + source + " ",
                    .delimiter = U';',
                    .startRow = 2,
                    .sourceLineCount = 4,
                    .preview = c.preview,
                    .previewStamp = c.stamp},
                   rows, observer);
        EXPECT_EQ(test::ListedRows(rows), c.rows);
        EXPECT_EQ(rows.ColumnCount(), 2);
        EXPECT_EQ(observer.calls, "busy idle ");
        EXPECT_FALSE(observer.bar.Visible());
        EXPECT_EQ(observer.bar.Max(), 4);
    }
    RecordStore rows;
    std::vector<std::string> header;
    Observer observer;
    ListCsvSource({.sourceFile = source, .delimiter = U';', .preview = text(changed.c_str()), .previewStamp = now},
                  rows, header, observer);
    EXPECT_EQ(test::ListedRows(rows), "CN2:Ann|98100 CN3:Bob|1 ");  // the CSV listing too
}

// Cut from a settled preview, every file lists as it does read again.
TEST(ListingTest, CuttingThePreviewListsAsReadingTheFile) {
    test::TempDir folder;
    const std::string source = folder.file("in.csv");
    for (const char* bytes : {"", "a,b\r\n", "a,b\rc\r\n\r\r\nd,e,f\nx", "a,b\r",
                              "\xEF\xBB\xBF"
                              "a,\xE9\r\n"}) {
        SCOPED_TRACE(bytes);
        test::WriteFile(source, bytes);
        std::filesystem::last_write_time(source, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
        for (const double startRow : {1.0, 2.0, 9.0}) {
            std::optional<File::Stamp> stamp;
            const auto preview = std::make_shared<const std::string>(ReadTextFile(source, nullptr, &stamp));
            ASSERT_TRUE(stamp);
            std::string listed[2];
            for (const bool cut : {false, true}) {
                RecordStore rows;
                Observer observer;
                ListSource({.sourceFile = source,
                            .startRow = startRow,
                            .sourceLineCount = 5,
                            .preview = preview,
                            .previewStamp = cut ? stamp : std::nullopt},
                           rows, observer);
                listed[cut] = test::ListedRows(rows) + observer.calls;
                std::vector<std::string> header;
                ListCsvSource({.sourceFile = source,
                               .startRow = startRow,
                               .preview = preview,
                               .previewStamp = cut ? stamp : std::nullopt},
                              rows, header, observer);
                listed[cut] += " / " + test::ListedRows(rows) + observer.calls;
            }
            EXPECT_EQ(listed[1], listed[0]) << "start row " << startRow;
        }
    }
}

// A file that cannot be opened ends the listing before any row, with one
// record and one message, and the pointer back at the very end.
TEST(ListingTest, UnreadableSourceIsRecordedAndShownOnce) {
    test::TempDir folder;
    RecordStore rows;
    rows.SetColumnCount(1);
    rows.AddRow(1, "old");
    Observer observer;
    ListSource({.sourceFile = folder.file("missing.csv"), .startRow = 1, .sourceLineCount = 1, .preview = {}}, rows,
               observer);
    EXPECT_EQ(rows.RowCount(), 0);
    EXPECT_EQ(observer.calls.substr(0, observer.calls.find('(')), "busy error");
    EXPECT_NE(observer.calls.find("error(Error occurred while listing data. Sub: ImportFile: "), std::string::npos);
    EXPECT_TRUE(observer.calls.ends_with("message(An error has occurred while listing data.\r\nFor detail view log.," +
                                         std::to_string(msgbox::Critical) + ") idle "));
}

}  // namespace
}  // namespace pelmar
