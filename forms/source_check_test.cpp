#include "forms/source_check.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

#include "common/ui.h"
#include "session/session_state.h"
#include "testing/session_fixture.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

constexpr const char* kNotFound = "The source file was not found at the specified location.";
constexpr const char* kCannotOpen = "The source file you have specified could not be opened. Please check the file.";

class ValidateFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        session.LogFilePath = log_;
        SetUserInterface(ui_);
    }
    void TearDown() override { SetUserInterface(nullptr); }

    SessionState session;
    test::TempDir dir_;
    std::string log_ = dir_.file("import.log");
    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
};

TEST_F(ValidateFileTest, RefusesWhatIsNotANormalFileOrCannotBeOpened) {
    test::WriteFile(dir_.file(".hidden.csv"), "a");
    test::WriteFile(dir_.file("spaced.csv "), "a");
    test::WriteFile(dir_.file("locked.csv"), "a");
    std::filesystem::permissions(dir_.file("locked.csv"), std::filesystem::perms::none);
    std::filesystem::create_directory(dir_.file("folder.csv"));
    const std::string good = dir_.file("good.csv"), missing = dir_.file("missing.csv");
    test::WriteFile(good, "a");
    // The location box is searched and opened; the argument is what is loaded.
    std::vector<std::tuple<std::string, std::string, const char*>> cases = {
        {missing, good, kNotFound},
        {dir_.file("folder.csv"), dir_.file("folder.csv"), kNotFound},
        {dir_.file(".hidden.csv"), dir_.file(".hidden.csv"), kNotFound},
        {"", "", kNotFound},
        {dir_.file("spaced.csv "), dir_.file("spaced.csv "), kCannotOpen},  // found as typed, opened trimmed
        {good, missing, kCannotOpen},
    };
    if (geteuid() != 0) cases.emplace_back(dir_.file("locked.csv"), good, kCannotOpen);  // root reads it
    for (const auto& [location, path, message] : cases) {
        ui_->messages.clear();
        ImportForm form(session);
        form.vars.SourceFile = "previous";
        form.controls.txtLocation = location;
        const SourceCheck check = ValidateFile(form, path);
        EXPECT_EQ(check.outcome,
                  message == kNotFound ? SourceCheck::Outcome::NotFound : SourceCheck::Outcome::Unreadable)
            << location;
        EXPECT_EQ(check.reason, message) << location;
        // What the open said, for a host to tell.
        EXPECT_EQ(check.error.Description.empty(), message == kNotFound) << location;
        EXPECT_EQ(check.badFile, "");
        ASSERT_EQ(ui_->messages.size(), 1u) << location;
        EXPECT_EQ(ui_->messages[0].prompt, message) << location;
        EXPECT_EQ(ui_->messages[0].style, 48);
        EXPECT_EQ(form.vars.SourceFile, "previous");
    }
    EXPECT_FALSE(std::filesystem::exists(log_));
}

TEST_F(ValidateFileTest, LoadsThePreviewAndDerivesTheFormVariables) {
    std::filesystem::create_directory(dir_.file("data"));
    const struct {
        std::string name, bytes, startRow, preview;
        int32_t lines;
        std::string badFile, startRowAfter;
    } cases[] = {
        {"data/list.csv", "a,b\r\nc,d\r\n", "01", "a,b\r\nc,d\r\n", 3, "data/list.bad", "1"},
        {"file.csv2", "x\ny\r\n\n", "2", "x\ny\r\n\n", 4, "file..bad", "2"},
        {"file", "\xE9\r", "1.0", "\xC3\xA9\r", 2, ".bad", "1"},
        {"empty.txt", "", "7", "", 1, "empty.bad", "7"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_.file(c.name);
        test::WriteFile(path, c.bytes);
        ImportForm form(session);
        form.controls.txtStartFromRow = c.startRow;
        form.controls.txtLocation = path;
        const SourceCheck check = ValidateFile(form, path);
        ASSERT_TRUE(check.Loaded());
        EXPECT_EQ(check.reason, "");
        EXPECT_EQ(check.sourceFile, path);
        EXPECT_EQ(check.badFile, dir_.file(c.badFile));
        EXPECT_EQ(check.logFile, log_);
        EXPECT_EQ(form.controls.rtfPreview, c.preview);
        EXPECT_EQ(form.vars.SourceLineCount, c.lines);
        EXPECT_EQ(form.vars.SourceFile, path);
        EXPECT_EQ(form.vars.BadFile, dir_.file(c.badFile));
        EXPECT_EQ(form.vars.ImportLogFile, log_);
        EXPECT_EQ(form.controls.txtStartFromRow, c.startRowAfter);
        EXPECT_TRUE(form.controls.txtStartFromRowEnabled);
        EXPECT_EQ(form.controls.spnPollingMax, c.lines);
        EXPECT_FALSE(form.controls.spnPollingCausesValidation);
        EXPECT_EQ(form.controls.lblPreview, "The following is a preview of the file : " + path);
    }
    EXPECT_TRUE(ui_->messages.empty());
}

TEST_F(ValidateFileTest, APathTooShortToNameTheRejectedFileIsLoggedAndShown) {
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(dir_.path());
    test::WriteFile("a.c", "x");
    test::WriteFile(log_, "earlier\n");
    ImportForm form(session);
    form.controls.txtLocation = "a.c";
    const SourceCheck check = ValidateFile(form, "a.c");
    // Four characters are enough: the rejected-records file is then ".bad".
    test::WriteFile("ab.c", "x");
    ImportForm four(session);
    four.controls.txtLocation = "ab.c";
    const SourceCheck loaded = ValidateFile(four, "ab.c");
    std::filesystem::current_path(previous);
    EXPECT_TRUE(loaded.Loaded());
    EXPECT_EQ(loaded.badFile, ".bad");

    EXPECT_EQ(check.outcome, SourceCheck::Outcome::Failed);
    EXPECT_EQ(check.error.Number, 5);
    EXPECT_EQ(check.reason, "An error has occurred while reading file.\r\nFor detail view log.");
    EXPECT_EQ(form.vars.SourceFile, "a.c");  // assigned before the failing step
    EXPECT_EQ(form.vars.BadFile, "");
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0].prompt, "An error has occurred while reading file.\r\nFor detail view log.");
    EXPECT_EQ(ui_->messages[0].style, 16);
    const auto lines = test::ReadLines(log_);  // appended, without a time stamp
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rfind("PelmarImpExp: Error occured. Sub: ValidateFile, Module: frmImport [Error 5:", 0), 0u)
        << lines[1];
}

TEST_F(ValidateFileTest, LocationHandlersCheckTheFileOrResetThePage) {
    const std::string path = dir_.file("list.csv");
    test::WriteFile(path, "a\r\nb");
    ImportForm form(session);
    SourceBrowsed(form, path);
    EXPECT_EQ(form.controls.ActiveControl, ImportControl::txtLocation);
    EXPECT_EQ(form.controls.spnPollingMax, 2);

    form.controls.txtStartFromRow = "01";
    SourceLocationChanged(form, " ");
    EXPECT_TRUE(form.controls.spnPollingCausesValidation);
    EXPECT_TRUE(SourceLocationValidate(form));  // empty: the page is reset and the focus moves on
    EXPECT_EQ(form.controls.rtfPreview, "");
    EXPECT_EQ(form.controls.spnPollingMax, 1);
    EXPECT_FALSE(form.controls.txtStartFromRowEnabled);
    EXPECT_EQ(form.controls.txtStartFromRow, "1");

    SourceLocationChanged(form, path + "x");
    EXPECT_FALSE(SourceLocationValidate(form));
    form.controls.txtStartFromRow = "7";
    SourceBrowsed(form, " ");  // not found, then the page is reset
    EXPECT_EQ(form.controls.txtStartFromRow, "1");
    ASSERT_EQ(ui_->messages.size(), 2u);
    EXPECT_EQ(ui_->messages[1].prompt, kNotFound);
}

// Each choice that is not plain is logged once by the check; only replaced
// bytes also warn the user, naming the first line that held one.
TEST_F(ValidateFileTest, EncodingChoicesAreLoggedAndReplacedBytesWarned) {
    const struct {
        const char* name;
        std::string bytes;
        std::string logged;  // "" for nothing
        std::string warning;
    } cases[] = {
        {"plain.csv", "M\xC3\xB3nica,98\r\n", "", ""},
        {"stray.csv", "M\xC3\xB3nica,98\r\nZo\xC3\xAB,99\r\nAn\xE9,97\r\n\xFF",
         " read as UTF-8 with 2 invalid byte sequences replaced by U+FFFD, the first on line 3.",
         "The source file is read as UTF-8 with 2 invalid byte sequences replaced by U+FFFD, the first on line 3."},
        {"latin.csv",
         "Ren\xE9"
         "e,98\r\nZo\xEB,99\r\n",
         " read as Windows-1252: it is not UTF-8 (2 invalid byte sequences, 0 UTF-8 characters).", ""},
        {"utf16.csv",
         std::string("I\0,\0"
                     "9\0",
                     6),
         " read as UTF-16 LE: it has no byte order mark, and its NUL bytes fall on one side of its byte pairs.", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ui_->messages.clear();
        std::filesystem::remove(log_);
        const std::string path = dir_.file(c.name);
        test::WriteFile(path, c.bytes);
        ImportForm form(session);
        form.controls.txtLocation = path;
        ASSERT_TRUE(ValidateFile(form, path).Loaded());
        const auto lines = test::ReadLines(log_);
        EXPECT_EQ(lines, c.logged.empty() ? std::vector<std::string>{}
                                          : std::vector<std::string>{"PelmarImpExp: Source file " + path + c.logged});
        ASSERT_EQ(ui_->messages.size(), c.warning.empty() ? 0u : 1u);
        if (!c.warning.empty()) {
            EXPECT_EQ(ui_->messages[0].prompt, c.warning);
        }
    }
}

// The rejected-records file never is the source: a source with its name gets
// ".bad" added, and the log says where failures go.
TEST_F(ValidateFileTest, RejectedRecordsFileIsNeverTheSource) {
    test::WriteFile(dir_.file("list.bad"), "a");
    test::WriteFile(dir_.file("data.csv"), "a");
    std::filesystem::create_symlink("data.csv", dir_.file("data.bad"));
    for (const auto& [source, badFile] :
         {std::pair{"list.bad", "list.bad.bad"}, std::pair{"data.csv", "data.bad.bad"}}) {
        SCOPED_TRACE(source);
        std::filesystem::remove(log_);
        ImportForm form(session);
        form.controls.txtLocation = dir_.file(source);
        ASSERT_TRUE(ValidateFile(form, form.controls.txtLocation).Loaded());
        EXPECT_EQ(form.vars.BadFile, dir_.file(badFile));
        EXPECT_EQ(test::ReadLines(log_),
                  std::vector<std::string>{"PelmarImpExp: The source file has the name of its rejected-records file; "
                                           "records that fail go to " +
                                           dir_.file(badFile) + " instead."});
    }
}

}  // namespace
}  // namespace pelmar
