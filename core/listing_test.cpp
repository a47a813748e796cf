// The listing over the preview the file check kept. (What a line lists as is
// tested through the wizard's ImportFile.)
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

// Both listings, with what the observer saw, of `source` from `startRow` on.
std::string Listed(const std::string& source, double startRow, std::shared_ptr<const std::string> preview,
                   std::optional<File::Stamp> stamp) {
    RecordStore rows;
    Observer observer;
    ListSource({.sourceFile = "  " + source + " ",
                .delimiter = U';',
                .startRow = startRow,
                .sourceLineCount = 5,
                .preview = preview,
                .previewStamp = stamp},
               rows, observer);
    std::string listed = test::ListedRows(rows) + std::to_string(rows.ColumnCount()) + " " + observer.calls +
                         std::to_string(observer.bar.Max()) + (observer.bar.Visible() ? " shown" : "");
    std::vector<std::string> header;
    ListCsvSource(
        {.sourceFile = source, .delimiter = U';', .startRow = startRow, .preview = preview, .previewStamp = stamp},
        rows, header, observer);
    return listed + " / " + test::ListedRows(rows);
}

// Every file lists alike from a preview of it, cut from it while its stamp
// is the file's, else read again past a preview that differs or is stale.
TEST(ListingTest, APreviewIsCutWhileItStandsForTheFileAndReadPastOtherwise) {
    test::TempDir folder;
    const std::string source = folder.file("in.csv");
    const auto text = [](const std::string& t) { return std::make_shared<const std::string>(t); };
    for (const char* bytes : {"", "a;b\r\n", "a;b\rc\r\n\r\r\nd;e;f\nx", "a;b\r",
                              "\xEF\xBB\xBF"
                              "a;\xE9\r\n",
                              "Name;Mobile\r\nAnn;98100\rBo;98101;x\r\nCy\r\n"}) {
        SCOPED_TRACE(bytes);
        test::WriteFile(source, bytes);
        std::filesystem::last_write_time(source, std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
        std::optional<File::Stamp> stamp;
        const auto preview = text(ReadTextFile(source, nullptr, &stamp));
        ASSERT_TRUE(stamp);
        File::Stamp before = *stamp;
        --before.modified;
        const auto changed = {text("X\r\n"), text(preview->substr(0, preview->size() / 2) + "Q\r\nR\r\n")};
        for (const double startRow : {1.0, 2.0, 9.0}) {
            SCOPED_TRACE(startRow);
            const std::string read = Listed(source, startRow, nullptr, stamp);
            EXPECT_EQ(Listed(source, startRow, preview, std::nullopt), read);
            EXPECT_EQ(Listed(source, startRow, preview, stamp), read);
            for (const auto& other : changed) {
                EXPECT_EQ(Listed(source, startRow, other, std::nullopt), read);
                EXPECT_EQ(Listed(source, startRow, other, before), read);
            }
        }
    }
    // The last file as read; a preview with the file's stamp is cut unread: only the stamp tells.
    EXPECT_EQ(Listed(source, 2, nullptr, std::nullopt),
              "CN2:Ann|98100 CN3:Bo|98101 CN4:Cy| 2 busy idle 5 / CN2:Ann|98100 CN3:Bo|98101|x CN4:Cy ");
    EXPECT_EQ(Listed(source, 2, text("Name;Mobile\r\nAnn;98100\rBob;1\r\n"), StampOf(source)),
              "CN2:Ann|98100 CN3:Bob|1 2 busy idle 5 / CN2:Ann|98100 CN3:Bob|1 ");
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
