#include "export/export_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <regex>
#include <sstream>

#include "common/logger_factory.h"
#include "common/ui.h"
#include "component/session_state.h"
#include "db/command.h"
#include "db/connection.h"
#include "testing/db_backends.h"

namespace pelmar {
namespace {

using Fields = std::vector<std::optional<std::string>>;  // FNAME .. SEX; nothing is Null

std::vector<std::string> Split(const std::string& text, const std::string& separator) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + separator.size())
        parts.push_back(text.substr(start, at - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::vector<std::string> Sorted(std::vector<std::string> lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

class ExportRunTest : public testing::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        Session() = SessionState{};
        SetUserInterface(ui_);
        auto connection = std::make_shared<db::Connection>();
        connection->Open(ConnectionString());
        Session().LocalConnection = connection;
        Session().RemoteConnection = connection;
        Session().Logger = CreateEventLogger();
        Session().LogFilePath = LogPath();
        Session().RunAt = RuntAtClient;
        Session().UserID = 2;
    }
    void TearDown() override {
        Session() = SessionState{};
        SetUserInterface(nullptr);
    }

    std::string LogPath() const { return Folder().file("export.log"); }
    std::string Destination() const { return Folder().file("contacts.csv"); }

    void AddContact(int32_t user, const Fields& fields) {
        db::Command insert;
        insert.SetActiveConnection(*Session().RemoteConnection);
        insert.CommandText =
            "INSERT INTO SMS_ABCONTACTS (USER_ID, FNAME, MNAME, LNAME, EMAIL, ADDRESS, MOBILENO, "
            "ORGANISATION, SEX) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)";
        insert.AppendParameter(insert.CreateParameter("USER_ID", db::adInteger, db::adParamInput, 0));
        std::vector<db::Value> values{user};
        for (const auto& field : fields) {
            insert.AppendParameter(insert.CreateParameter("F", db::adVarWChar, db::adParamInput, 50));
            values.push_back(field ? db::Value(*field) : db::Value(db::Null{}));
        }
        insert.Execute(values, db::adExecuteNoRecords);
    }

    // Validates `destination` as the location box would and presses Export.
    ExportSummary Export(ExportDialog& dialog) {
        dialog.txtLocation = Destination();
        EXPECT_TRUE(dialog.txtLocation_Validate());
        const std::optional<ExportSummary> summary = dialog.cmdExport_Click();
        EXPECT_TRUE(summary.has_value());
        return summary.value_or(ExportSummary{});
    }

    std::vector<std::string> ExportedLines() const {
        std::vector<std::string> lines = Split(testing::ReadFile(Destination()), "\r\n");
        EXPECT_EQ(lines.back(), "") << "every line ends with CR LF";
        lines.pop_back();
        return lines;
    }

    std::shared_ptr<RecordingUserInterface> ui_ = std::make_shared<RecordingUserInterface>();
};

TEST_P(ExportRunTest, WritesEightFieldsQuotingOnlyNonEmptyOnesAndEscapingNothing) {
    struct Case {
        const char* name;
        Fields fields;
        std::string line;
    };
    const std::vector<Case> cases = {
        {"every field", {"Anna", "B", "Cole", "a@b.c", "1 Road", "0123", "Acme", "F"},
         R"("Anna","B","Cole","a@b.c","1 Road","0123","Acme","F")"},
        {"first and last only", {"Anna", {}, {}, {}, {}, {}, {}, "F"}, R"("Anna",,,,,,,"F")"},
        {"null and empty alike", {{}, "", "Lee", "", {}, "", "", ""}, R"(,,"Lee",,,,,)"},
        {"all empty", {"", "", "", "", "", "", "", ""}, ",,,,,,,"},
        {"all null", {{}, {}, {}, {}, {}, {}, {}, {}}, ",,,,,,,"},
        {"quote and comma unchanged", {R"(Jo"n, Jr)", {}, {}, {}, "a,b", {}, {}, {}},
         R"("Jo"n, Jr",,,,"a,b",,,)"},
        {"non-ASCII text", {"Zoë", {}, "Ørsted", {}, {}, {}, {}, {}}, R"("Zoë",,"Ørsted",,,,,)"},
    };
    ExportDialog dialog;
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        const int32_t user = 100 + static_cast<int32_t>(i);
        AddContact(user, cases[i].fields);
        Session().UserID = user;
        const ExportSummary summary = Export(dialog);
        EXPECT_EQ(summary.Count, 1);
        EXPECT_FALSE(summary.Errors);
        EXPECT_EQ(testing::ReadFile(Destination()), cases[i].line + "\r\n");
    }
}

TEST_P(ExportRunTest, ClientExportsTheUsersRowsAndServerEveryRow) {
    AddContact(2, {"Anna", {}, {}, {}, {}, {}, {}, {}});
    AddContact(3, {"Bert", {}, {}, {}, {}, {}, {}, {}});
    AddContact(2, {"Cara", {}, {}, {}, {}, {}, {}, {}});
    struct Case {
        RunApplicationAt runAt;
        std::vector<std::string> lines;
    };
    const std::vector<Case> cases = {
        {RuntAtClient, {R"("Anna",,,,,,,)", R"("Cara",,,,,,,)"}},
        {RuntAtServer, {R"("Anna",,,,,,,)", R"("Bert",,,,,,,)", R"("Cara",,,,,,,)"}},
    };
    ExportDialog dialog;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.runAt);
        Session().RunAt = c.runAt;
        const ExportSummary summary = Export(dialog);
        EXPECT_EQ(summary.Count, static_cast<int32_t>(c.lines.size()));
        EXPECT_EQ(Sorted(ExportedLines()), c.lines);
    }
}

TEST_P(ExportRunTest, LogsTheRunInOrderAndLeavesTheDialogWithoutDestination) {
    for (const char* name : {"Anna", "Bert", "Cara"}) AddContact(2, {name, {}, {}, {}, {}, {}, {}, {}});
    ExportDialog dialog;
    int32_t highest = 0;
    dialog.ProgressBar1.SetObserver([&](const ProgressBar& bar) { highest = std::max(highest, bar.Value()); });

    const ExportSummary summary = Export(dialog);

    EXPECT_EQ(summary.Count, 3);
    EXPECT_FALSE(summary.Errors);
    EXPECT_FALSE(summary.NoContacts);
    const std::vector<std::string> log = Split(testing::ReadFile(LogPath()), "\n");
    const std::regex stamp(R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d)");
    ASSERT_EQ(log.size(), 8u);  // seven lines, the last one empty, and the final line break
    EXPECT_EQ(log[0], std::string(50, '='));
    EXPECT_EQ(log[1], "PelmarImpExp: Export Destination :" + Destination());
    EXPECT_EQ(log[2].rfind("PelmarImpExp: Export started at  :", 0), 0u);
    EXPECT_TRUE(std::regex_match(log[2].substr(34), stamp)) << log[2];
    EXPECT_EQ(log[3], "PelmarImpExp: 3 records exported successfully.");
    EXPECT_EQ(log[4].rfind("PelmarImpExp: Export completed at  :", 0), 0u);
    EXPECT_TRUE(std::regex_match(log[4].substr(36), stamp)) << log[4];
    EXPECT_EQ(log[5], std::string(50, '='));
    EXPECT_EQ(log[6], "");

    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0].prompt,
              "Contacts successfully exported to '" + Destination() + "'.\r\nPlease view Export Log for details.");
    EXPECT_EQ(ui_->messages[0].style, 48);
    EXPECT_EQ(highest, 3);
    EXPECT_EQ(dialog.ProgressBar1.Max(), 3);
    EXPECT_FALSE(dialog.ProgressBar1.Visible());
    EXPECT_EQ(dialog.txtLocation, "");
    EXPECT_EQ(dialog.DestinationFile, "");
    EXPECT_EQ(dialog.ExportLogFile, LogPath());
    EXPECT_EQ(dialog.Focus, ExportDialog::Control::cmdClose);
}

TEST_P(ExportRunTest, NoRowsWritesNothingAndSaysSo) {
    AddContact(3, {"Bert", {}, {}, {}, {}, {}, {}, {}});  // someone else's
    ExportDialog dialog;

    const ExportSummary summary = Export(dialog);

    EXPECT_TRUE(summary.NoContacts);
    EXPECT_FALSE(summary.Errors);
    EXPECT_EQ(summary.Count, 0);
    EXPECT_TRUE(std::filesystem::exists(Destination()));
    EXPECT_EQ(testing::ReadFile(Destination()), "");
    EXPECT_EQ(testing::ReadFile(LogPath()), "");
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0].prompt, "No Contacts to Export.");
    EXPECT_EQ(ui_->messages[0].style, 48);
    EXPECT_EQ(dialog.DestinationFile, "");
    EXPECT_EQ(dialog.txtLocation, "");
    EXPECT_EQ(dialog.Focus, ExportDialog::Control::cmdClose);
}

TEST_P(ExportRunTest, DestinationLostMidRunCostsEachLaterLineAndItsCount) {
    for (const char* name : {"Anna", "Bert", "Cara"}) AddContact(2, {name, {}, {}, {}, {}, {}, {}, {}});
    ExportDialog dialog;
    // Once the first line is written, a folder takes the file's place.
    dialog.ProgressBar1.SetObserver([&](const ProgressBar& bar) {
        if (bar.Value() == 1 && std::filesystem::is_regular_file(Destination())) {
            std::filesystem::rename(Destination(), Destination() + ".first");
            std::filesystem::create_directory(Destination());
        }
    });

    const ExportSummary summary = Export(dialog);

    EXPECT_TRUE(summary.Errors);
    EXPECT_EQ(summary.Count, 1);
    const std::vector<std::string> log = Split(testing::ReadFile(LogPath()), "\n");
    ASSERT_EQ(log.size(), 3u + 2 * 3 + 4 + 1);
    std::vector<std::string> lines = Split(testing::ReadFile(Destination() + ".first"), "\r\n");
    ASSERT_EQ(lines.size(), 2u);
    lines.pop_back();  // the written line, then the two lost ones
    for (int failure = 0; failure < 2; ++failure) {
        const std::size_t at = 3 + 3 * static_cast<std::size_t>(failure);
        lines.push_back(log[at]);
        EXPECT_EQ(log[at + 1], "\tPelmarImpExp: Error No :75");
        EXPECT_EQ(log[at + 2].rfind("\tPelmarImpExp: Error Desc :", 0), 0u) << log[at + 2];
    }
    EXPECT_EQ(log[9], "PelmarImpExp: 1 records exported successfully.");
    EXPECT_EQ(log[11], std::string(50, '='));
    EXPECT_EQ(Sorted(lines), (std::vector<std::string>{R"("Anna",,,,,,,)", R"("Bert",,,,,,,)", R"("Cara",,,,,,,)"}));
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0].prompt, "Contacts export has completed with errors.\r\nPlease view Export Log for details.");
    EXPECT_EQ(dialog.DestinationFile, "");
}

TEST_P(ExportRunTest, UnknownRunAtLogsTheFailedEndTestAndFindsNoContacts) {
    AddContact(2, {"Anna", {}, {}, {}, {}, {}, {}, {}});
    Session().RunAt = static_cast<RunApplicationAt>(7);
    ExportDialog dialog;

    const ExportSummary summary = Export(dialog);

    EXPECT_TRUE(summary.NoContacts);
    EXPECT_TRUE(summary.Errors);
    EXPECT_EQ(testing::ReadFile(Destination()), "");
    const std::vector<std::string> log = Split(testing::ReadFile(LogPath()), "\n");
    ASSERT_EQ(log.size(), 4u);
    EXPECT_EQ(log[0], "");
    EXPECT_EQ(log[1].rfind("\tPelmarImpExp: Error No :", 0), 0u);
    ASSERT_EQ(ui_->messages.size(), 1u);
    EXPECT_EQ(ui_->messages[0].prompt, "No Contacts to Export.");
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ExportRunTest);

}  // namespace
}  // namespace pelmar
