#include "import/source_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <unistd.h>
#include <vector>

#include "common/logger_factory.h"
#include "common/ui.h"
#include "component/session_state.h"
#include "testing/temp_dir.h"

namespace {

using pelmar::ImportForm;

struct RecordingLogger : pelmar::EventLogger {
    void WriteErrorLog(const std::string& file, const pelmar::ErrorInfo& info,
                       const std::string& message, bool flagA, bool flagB) override {
        errors.push_back({file, message, flagA, flagB, info.Number});
    }
    void ShowMessage(const std::string& message, int32_t style) override {
        shown.push_back({message, style});
    }
    struct Error {
        std::string file, message;
        bool flagA, flagB;
        int32_t number;
    };
    std::vector<Error> errors;
    std::vector<std::pair<std::string, int32_t>> shown;
};

constexpr const char* kNotFound = "The source file was not found at the specified location.";
constexpr const char* kCannotOpen =
    "The source file you have specified could not be opened. Please check the file.";

class ValidateFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        pelmar::SetUserInterface(ui_);
        pelmar::SetEventLoggerFactory([this] { return logger_; });
        pelmar::Session().LogFilePath = dir_.file("import.log");
    }
    void TearDown() override {
        pelmar::SetUserInterface(nullptr);
        pelmar::SetEventLoggerFactory({});
    }

    bool Validate(ImportForm& form, const std::string& location) {
        form.controls.txtLocation = location;
        return pelmar::ValidateFile(form, location);
    }

    pelmar::testing::TempDir dir_;
    std::shared_ptr<pelmar::RecordingUserInterface> ui_ = std::make_shared<pelmar::RecordingUserInterface>();
    std::shared_ptr<RecordingLogger> logger_ = std::make_shared<RecordingLogger>();
};

TEST_F(ValidateFileTest, RefusesWhatIsNotANormalFileOrCannotBeOpened) {
    pelmar::testing::WriteFile(dir_.file(".hidden.csv"), "a");
    pelmar::testing::WriteFile(dir_.file("spaced.csv "), "a");
    std::filesystem::create_directory(dir_.file("folder.csv"));
    struct Case {
        std::string location;
        const char* message;
    };
    const std::vector<Case> cases = {
        {dir_.file("missing.csv"), kNotFound},
        {dir_.file("folder.csv"), kNotFound},
        {dir_.file(".hidden.csv"), kNotFound},
        {"", kNotFound},
        // Found as typed, but opened trimmed: the open fails.
        {dir_.file("spaced.csv "), kCannotOpen},
    };
    for (const auto& c : cases) {
        ui_->messages.clear();
        ImportForm form;
        form.vars.SourceFile = "previous";
        EXPECT_FALSE(Validate(form, c.location)) << c.location;
        ASSERT_EQ(ui_->messages.size(), 1u) << c.location;
        EXPECT_EQ(ui_->messages[0].prompt, c.message) << c.location;
        EXPECT_EQ(ui_->messages[0].style, 48);
        EXPECT_EQ(form.vars.SourceFile, "previous");
    }
    EXPECT_TRUE(logger_->errors.empty());
}

TEST_F(ValidateFileTest, AFileWithoutReadRightsCannotBeOpened) {
    if (geteuid() == 0) GTEST_SKIP() << "root reads every file";
    const std::string path = dir_.file("locked.csv");
    pelmar::testing::WriteFile(path, "a");
    std::filesystem::permissions(path, std::filesystem::perms::none);
    ImportForm form;
    EXPECT_FALSE(Validate(form, path));
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0].prompt, kCannotOpen);
}

TEST_F(ValidateFileTest, LoadsThePreviewAndDerivesTheFormVariables) {
    std::filesystem::create_directory(dir_.file("data"));
    struct Case {
        std::string name;
        std::string bytes;
        std::string startRow;
        std::string preview;
        int32_t lines;
        std::string badFile;
        std::string startRowAfter;
    };
    const std::vector<Case> cases = {
        {"data/list.csv", "a,b\r\nc,d\r\n", "01", "a,b\r\nc,d\r\n", 3, "data/list.bad", "1"},
        {"file.csv2", "x\ny", "2", "x\ny", 2, "file..bad", "2"},
        {"file", "\xE9", "1.0", "\xC3\xA9", 1, ".bad", "1"},
        {"empty.txt", "", "7", "", 1, "empty.bad", "7"},
    };
    for (const auto& c : cases) {
        const std::string path = dir_.file(c.name);
        pelmar::testing::WriteFile(path, c.bytes);
        ImportForm form;
        form.controls.txtStartFromRow = c.startRow;
        ASSERT_TRUE(Validate(form, path)) << c.name;
        EXPECT_EQ(form.controls.rtfPreview, c.preview) << c.name;
        EXPECT_EQ(form.vars.SourceLineCount, c.lines) << c.name;
        EXPECT_EQ(form.vars.SourceFile, path);
        EXPECT_EQ(form.vars.BadFile, dir_.file(c.badFile)) << c.name;
        EXPECT_EQ(form.vars.ImportLogFile, dir_.file("import.log"));
        EXPECT_EQ(form.controls.txtStartFromRow, c.startRowAfter) << c.name;
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
    pelmar::testing::WriteFile("a.c", "x");
    ImportForm form;
    const bool result = Validate(form, "a.c");
    std::filesystem::current_path(previous);

    EXPECT_FALSE(result);
    EXPECT_EQ(form.vars.SourceFile, "a.c");  // assigned before the failing step
    EXPECT_EQ(form.vars.BadFile, "");
    ASSERT_EQ(logger_->shown.size(), 1u);
    EXPECT_EQ(logger_->shown[0].first, "An error has occurred while reading file.\r\nFor detail view log.");
    EXPECT_EQ(logger_->shown[0].second, 16);
    ASSERT_EQ(logger_->errors.size(), 1u);
    EXPECT_EQ(logger_->errors[0].file, dir_.file("import.log"));
    EXPECT_EQ(logger_->errors[0].message, "PelmarImpExp: Error occured. Sub: ValidateFile, Module: frmImport");
    EXPECT_EQ(logger_->errors[0].number, 5);
    EXPECT_FALSE(logger_->errors[0].flagA);
    EXPECT_TRUE(logger_->errors[0].flagB);
    EXPECT_TRUE(ui_->messages.empty());
}

}  // namespace
