#include "forms/export_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>

#include "db/connection.h"
#include "session/logger_factory.h"
#include "session/session_state.h"
#include "testing/form_fixture.h"
#include "testing/session_fixture.h"

namespace pelmar {
namespace {

using Fields = std::vector<std::optional<std::string>>;  // FNAME .. SEX; nothing is Null
using Lines = std::vector<std::string>;

Lines Sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

// Count, then "E" for errors and "N" for no contacts.
std::string Outcome(const ExportSummary& summary) {
    return std::to_string(summary.Count) + (summary.Errors ? "E" : "") + (summary.NoContacts ? "N" : "");
}

class ExportRunTest : public test::SessionTest {
protected:
    void SetUp() override {
        SessionTest::SetUp();
        if (IsSkipped()) return;
        session.LocalConnection = session.RemoteConnection = std::make_shared<db::Connection>();
        session.RemoteConnection->Open(ConnectionString());
        session.Logger = CreateEventLogger();
        session.LogFilePath = LogPath();
        session.RunAt = RuntAtClient;
        session.UserID = 2;
    }

    std::string LogPath() const { return Folder().file("export.log"); }
    std::string Destination() const { return Folder().file("contacts.csv"); }

    void AddContact(int32_t user, const Fields& fields) const {
        std::string values = std::to_string(user);
        for (const auto& field : fields) values += field ? ",'" + *field + "'" : ",NULL";
        Exec(
            {"INSERT INTO SMS_ABCONTACTS (USER_ID,FNAME,MNAME,LNAME,EMAIL,ADDRESS,MOBILENO,ORGANISATION,SEX) "
             "VALUES (" +
             values + ")"});
    }
    void AddNamed(int32_t user, const std::string& name) const { AddContact(user, {name, {}, {}, {}, {}, {}, {}, {}}); }

    // Validates the destination as the location box would and presses Export.
    ExportSummary Export(ExportDialog& dialog, const std::string& destination = {}) {
        dialog.txtLocation = destination.empty() ? Destination() : destination;
        EXPECT_TRUE(dialog.txtLocation_Validate());
        return dialog.cmdExport_Click().value_or(ExportSummary{.Count = -99});
    }
};

TEST_P(ExportRunTest, WritesEightFieldsQuotingOnlyNonEmptyOnesAndEscapingNothing) {
    const struct {
        Fields fields;
        std::string line;
    } cases[] = {
        {{"Anna", "B", "Cole", "a@b.c", "1 Road", "0123", "Acme", "F"},
         R"("Anna","B","Cole","a@b.c","1 Road","0123","Acme","F")"},
        {{{}, "", "Lee", "", {}, "", "", ""}, R"(,,"Lee",,,,,)"},
        {{"", "", "", "", "", "", "", ""}, ",,,,,,,"},
        {{R"(Jo"n, Jr)", {}, {}, {}, "a,b", {}, {}, {}}, R"("Jo"n, Jr",,,,"a,b",,,)"},
        {{"Zoë", {}, "Ørsted", {}, {}, {}, {}, {}}, R"("Zoë",,"Ørsted",,,,,)"},
    };
    ExportDialog dialog(session);
    int32_t user = 100;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        AddContact(++user, c.fields);
        session.UserID = user;
        EXPECT_EQ(Outcome(Export(dialog)), "1");
        EXPECT_EQ(test::ReadFile(Destination()), c.line + "\r\n");  // CR LF, no header
    }
}

TEST_P(ExportRunTest, TheStandardFormatsBoxWritesWhatTheNamesExtensionSays) {
    AddContact(2, {"Anna", {}, "Cole", {}, {}, "0123", {}, "F"});
    const struct {
        const char* name;
        bool box;
        std::string begins;
    } cases[] = {
        {"out.vcf", true, "BEGIN:VCARD\r\nVERSION:4.0\r\n"},
        {"out.xlsx", true, "PK\x03\x04"},
        {"out.txt", true, "FirstName,MiddleName,LastName,"},
        {"out.vcf", false, R"("Anna",,"Cole",,,"0123",,"F")"},
    };
    ExportDialog dialog(session);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        dialog.chkStandardFormats = c.box;
        EXPECT_EQ(Outcome(Export(dialog, Folder().file(c.name))), "1");
        EXPECT_TRUE(test::ReadFile(Folder().file(c.name)).starts_with(c.begins));
        EXPECT_EQ(dialog.BrowseSetup().Filter.find("Contact files") != std::string::npos, c.box);
    }
}

// Each run ends with the destination cleared and the focus on Close.
TEST_P(ExportRunTest, ClientExportsTheUsersRowsServerEveryRowAndEachRunIsLogged) {
    AddNamed(3, "Bert");  // someone else's
    ExportDialog dialog(session);
    const auto cleared = [&] {
        EXPECT_EQ(dialog.txtLocation + dialog.DestinationFile, "");
        EXPECT_FALSE(dialog.ProgressBar1.Visible());
        EXPECT_EQ(dialog.Focus, ExportDialog::Control::cmdClose);
    };

    EXPECT_EQ(Outcome(Export(dialog)), "0N");
    EXPECT_TRUE(std::filesystem::exists(Destination()));
    EXPECT_EQ(test::ReadFile(Destination()) + test::ReadFile(LogPath()), "");
    EXPECT_EQ(test::TakeShown(*ui), "48 No Contacts to Export.\n");
    cleared();

    AddNamed(2, "Anna");
    AddNamed(2, "Cara");
    int32_t highest = 0;
    dialog.ProgressBar1.SetObserver([&](const ProgressBar& bar) { highest = std::max(highest, bar.Value()); });
    EXPECT_EQ(Outcome(Export(dialog)), "2");
    EXPECT_EQ(Sorted(test::ReadLines(Destination())), (Lines{R"("Anna",,,,,,,)", R"("Cara",,,,,,,)"}));
    Lines log = test::ReadLines(LogPath());
    ASSERT_EQ(log.size(), 7u);
    const std::string started = "PelmarImpExp: Export started at  :",
                      completed = "PelmarImpExp: Export completed at  :";
    EXPECT_EQ(log[2].size(), started.size() + 19) << log[2];  // dd/mm/yyyy hh:mm:ss
    EXPECT_TRUE(log[2].starts_with(started) && log[4].starts_with(completed));
    log[2] = started, log[4] = completed;
    EXPECT_EQ(log, (Lines{std::string(50, '='), "PelmarImpExp: Export Destination :" + Destination(), started,
                          "PelmarImpExp: 2 records exported successfully.", completed, std::string(50, '='), ""}));
    EXPECT_EQ(test::TakeShown(*ui),
              "48 Contacts successfully exported to '" + Destination() + "'.\r\nPlease view Export Log for details.\n");
    EXPECT_EQ(std::tuple(highest, dialog.ProgressBar1.Max(), dialog.ExportLogFile), std::tuple(2, 2, LogPath()));
    cleared();

    session.RunAt = RuntAtServer;
    EXPECT_EQ(Outcome(Export(dialog)), "3");
    EXPECT_EQ(Sorted(test::ReadLines(Destination())),
              (Lines{R"("Anna",,,,,,,)", R"("Bert",,,,,,,)", R"("Cara",,,,,,,)"}));
}

TEST_P(ExportRunTest, DestinationLostMidRunCostsEachLaterLineAndItsCount) {
    for (const char* name : {"Anna", "Bert", "Cara"}) AddNamed(2, name);
    ExportDialog dialog(session);
    // Once the first line is written, a folder takes the file's place.
    dialog.ProgressBar1.SetObserver([&](const ProgressBar& bar) {
        if (bar.Value() == 1 && std::filesystem::is_regular_file(Destination())) {
            std::filesystem::rename(Destination(), Destination() + ".first");
            std::filesystem::create_directory(Destination());
        }
    });

    EXPECT_EQ(Outcome(Export(dialog)), "1E");
    const Lines log = test::ReadLines(LogPath());
    ASSERT_EQ(log.size(), 3u + 2 * 3 + 4);
    Lines lines = test::ReadLines(Destination() + ".first");  // the written line, then the two lost ones
    ASSERT_EQ(lines.size(), 1u);
    for (std::size_t at : {3u, 6u}) {
        lines.push_back(log[at]);
        EXPECT_EQ(log[at + 1], "\tPelmarImpExp: Error No :75");
        EXPECT_TRUE(log[at + 2].starts_with("\tPelmarImpExp: Error Desc :")) << log[at + 2];
    }
    EXPECT_EQ(log[9], "PelmarImpExp: 1 records exported successfully.");
    EXPECT_EQ(Sorted(lines), (Lines{R"("Anna",,,,,,,)", R"("Bert",,,,,,,)", R"("Cara",,,,,,,)"}));
    EXPECT_EQ(test::TakeShown(*ui),
              "48 Contacts export has completed with errors.\r\nPlease view Export Log for details.\n");
    EXPECT_EQ(dialog.DestinationFile, "");
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ExportRunTest);

}  // namespace
}  // namespace pelmar
