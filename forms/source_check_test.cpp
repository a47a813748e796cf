#include "forms/source_check.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <tuple>
#include <utility>
#include <vector>

#include "testing/form_fixture.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;
using test::TakeShown;

constexpr const char* kNotFound = "The source file was not found at the specified location.";
constexpr const char* kCannotOpen = "The source file you have specified could not be opened. Please check the file.";

using ValidateFileTest = test::FormTest;

TEST_F(ValidateFileTest, RefusesWhatIsNotANormalFileOrCannotBeOpened) {
    for (const char* name : {".hidden.csv", "spaced.csv ", "locked.csv", "good.csv"})
        test::WriteFile(folder.file(name), "a");
    fs::permissions(folder.file("locked.csv"), fs::perms::none);
    fs::create_directory(folder.file("folder.csv"));
    const std::string good = folder.file("good.csv"), missing = folder.file("missing.csv");
    // The location box is searched and opened; the argument is what is loaded.
    std::vector<std::tuple<std::string, std::string, const char*>> cases = {
        {missing, good, kNotFound},
        {folder.file("folder.csv"), folder.file("folder.csv"), kNotFound},
        {folder.file(".hidden.csv"), folder.file(".hidden.csv"), kNotFound},
        {"", "", kNotFound},
        {folder.file("spaced.csv "), folder.file("spaced.csv "), kCannotOpen},  // found as typed, opened trimmed
        {good, missing, kCannotOpen},
        {folder.file("g*.c?v"), good, kCannotOpen},  // a pattern finds a file, then cannot be opened
        {folder.file("*.txt"), good, kNotFound},
    };
    if (geteuid() != 0) cases.emplace_back(folder.file("locked.csv"), good, kCannotOpen);  // root reads it
    for (const auto& [location, path, message] : cases) {
        SCOPED_TRACE(location);
        ImportForm form(session);
        form.vars.SourceFile = "previous";
        form.controls.txtLocation = location;
        const SourceCheck check = ValidateFile(form, path);
        const bool notFound = message == kNotFound;
        // The error is what the open said, for a host to tell.
        EXPECT_EQ(std::tuple(check.outcome, check.reason, check.error.Description.empty(), check.badFile),
                  std::tuple(notFound ? SourceCheck::Outcome::NotFound : SourceCheck::Outcome::Unreadable,
                             std::string(message), notFound, std::string()));
        EXPECT_EQ(TakeShown(*ui), "48 " + std::string(message) + "\n");
        EXPECT_EQ(form.vars.SourceFile, "previous");
    }
    EXPECT_FALSE(fs::exists(logFile));
}

// Each encoding choice that is not plain is logged once, and only replaced
// bytes also warn the user, naming the first line that held one. The
// rejected-records file never is the source: a source with its name gets
// ".bad" added, and the log says where failures go.
TEST_F(ValidateFileTest, LoadsThePreviewDerivesTheFormVariablesAndLogsWhatItChose) {
    fs::create_directory(folder.file("data"));
    test::WriteFile(folder.file("data.csv"), "a");
    fs::create_symlink("data.csv", folder.file("data.bad"));
    const std::string stray = "read as UTF-8 with 2 invalid byte sequences replaced by U+FFFD, the first on line 3.";
    const std::string toBad =
        "The source file has the name of its rejected-records file; records that fail go to {bad} instead.";
    const struct {
        std::string name, bytes, startRow, preview;
        int32_t lines;
        std::string badFile, startRowAfter, logged, shown;  // {path}, {bad}: the files' paths
    } cases[] = {
        {"data/list.csv", "a,b\r\nc,d\r\n", "01", "a,b\r\nc,d\r\n", 3, "data/list.bad", "1", "", ""},
        {"file.csv2", "x\ny\r\n\n", "2", "x\ny\r\n\n", 4, "file..bad", "2", "", ""},
        {"file", "\xE9\r", "1.0", "\xC3\xA9\r", 2, ".bad", "1",
         "Source file {path} read as Windows-1252: it is not UTF-8 (1 invalid byte sequence, 0 UTF-8 characters).", ""},
        {"empty.txt", "", "7", "", 1, "empty.bad", "7", "", ""},
        {"stray.csv", "M\xC3\xB3nica,98\r\nZo\xC3\xAB,99\r\nAn\xE9,97\r\n\xFF", "1",
         "M\xC3\xB3nica,98\r\nZo\xC3\xAB,99\r\nAn\xEF\xBF\xBD,97\r\n\xEF\xBF\xBD", 4, "stray.bad", "1",
         "Source file {path} " + stray, "48 The source file is " + stray + "\n"},
        {"utf16.csv", std::string("I\0,\0x\0", 6), "1", "I,x", 1, "utf16.bad", "1",
         "Source file {path} read as UTF-16 LE: it has no byte order mark, and its NUL bytes fall on one side of its "
         "byte pairs.",
         ""},
        {"list.bad", "a", "1", "a", 1, "list.bad.bad", "1", toBad, ""},
        {"data.csv", "a", "1", "a", 1, "data.bad.bad", "1", toBad, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder.file(c.name), bad = folder.file(c.badFile);
        std::string logged = c.logged.empty() ? "" : "PelmarImpExp: " + c.logged + "\n";
        for (const auto& [token, value] : {std::pair{"{path}", path}, std::pair{"{bad}", bad}})
            if (const auto at = logged.find(token); at != std::string::npos)
                logged.replace(at, std::string_view(token).size(), value);
        if (c.name != "data.csv") test::WriteFile(path, c.bytes);
        fs::remove(logFile);
        ImportForm form(session);
        form.controls.txtStartFromRow = c.startRow;
        form.controls.txtLocation = path;
        const SourceCheck check = ValidateFile(form, path);
        ASSERT_TRUE(check.Loaded());
        const ImportControls& on = form.controls;
        EXPECT_EQ(std::tuple(check.reason, check.sourceFile, check.badFile, check.logFile),
                  std::tuple(std::string(), path, bad, logFile));
        EXPECT_EQ(
            std::tuple(form.vars.SourceFile, form.vars.BadFile, form.vars.ImportLogFile, form.vars.SourceLineCount),
            std::tuple(path, bad, logFile, c.lines));
        EXPECT_EQ(on.rtfPreview, c.preview);
        EXPECT_EQ(
            std::tuple(on.txtStartFromRow, on.txtStartFromRowEnabled, on.spnPollingMax, on.spnPollingCausesValidation,
                       on.lblPreview),
            std::tuple(c.startRowAfter, true, c.lines, false, "The following is a preview of the file : " + path));
        EXPECT_EQ(test::ReadFile(logFile), logged);
        EXPECT_EQ(TakeShown(*ui), c.shown);
    }
}

TEST_F(ValidateFileTest, APathTooShortToNameTheRejectedFileIsLoggedAndShown) {
    const auto previous = fs::current_path();
    fs::current_path(folder.path());
    test::WriteFile("a.c", "x");
    test::WriteFile("ab.c", "x");
    test::WriteFile(logFile, "earlier\n");
    ImportForm form(session), four(session);
    form.controls.txtLocation = "a.c";
    const SourceCheck check = ValidateFile(form, "a.c");
    four.controls.txtLocation = "ab.c";
    const SourceCheck loaded = ValidateFile(four, "ab.c");  // four characters are enough
    fs::current_path(previous);
    EXPECT_EQ(loaded.badFile, ".bad");

    const std::string reason = "An error has occurred while reading file.\r\nFor detail view log.";
    EXPECT_EQ(std::tuple(check.outcome, check.error.Number, check.reason),
              std::tuple(SourceCheck::Outcome::Failed, 5, reason));
    EXPECT_EQ(form.vars.SourceFile + "|" + form.vars.BadFile, "a.c|");  // assigned before the failing step
    EXPECT_EQ(TakeShown(*ui), "16 " + reason + "\n");
    const auto lines = test::ReadLines(logFile);  // appended, without a time stamp
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].rfind("PelmarImpExp: Error occured. Sub: ValidateFile, Module: frmImport [Error 5:", 0), 0u)
        << lines[1];
}

TEST_F(ValidateFileTest, LocationHandlersCheckTheFileOrResetThePage) {
    const std::string path = folder.file("list.csv");
    test::WriteFile(path, "a\r\nb");
    ImportForm form(session);
    const ImportControls& on = form.controls;
    SourceBrowsed(form, path);
    EXPECT_EQ(std::pair(on.ActiveControl, on.spnPollingMax), std::pair(ImportControl::txtLocation, 2));

    form.controls.txtStartFromRow = "01";
    SourceLocationChanged(form, " ");
    EXPECT_TRUE(on.spnPollingCausesValidation);
    EXPECT_TRUE(SourceLocationValidate(form));  // empty: the page is reset and the focus moves on
    EXPECT_EQ(std::tuple(on.rtfPreview.View(), on.spnPollingMax, on.txtStartFromRowEnabled, on.txtStartFromRow),
              std::tuple("", 1, false, "1"));

    form.controls.txtStartFromRow = "7";
    SourceBrowsed(form, " ");  // not found, then the page is reset
    EXPECT_EQ(on.txtStartFromRow, "1");
    EXPECT_EQ(TakeShown(*ui), "48 " + std::string(kNotFound) + "\n");
}

}  // namespace
}  // namespace pelmar
