// `pelmar import` against faults: every record ends in its group or out (and then in the .bad
// file), with counts that add up; only the record a fault cuts short may leave its contact alone.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "db/connection.h"
#include "db/recordset.h"
#include "db/schema.h"
#include "testing/db_backends.h"
#include "testing/run_command.h"
#include "testing/sql_rows.h"

namespace pelmar {
namespace {

using Clock = std::chrono::steady_clock;

// The number after `label` in a run's summary; -1 without one.
int64_t Summary(const test::CommandOutcome& outcome, const std::string& label) {
    const auto at = outcome.out.find(label + ": ");
    return at == std::string::npos ? -1 : std::stoll(outcome.out.substr(at + label.size() + 2));
}

class ImportFaultsTest : public test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        if (IsSkipped()) return;
        // No wait for the disk: these tests are about who gets which row.
        cs_ = ConnectionString() + (GetParam().kind == test::BackendKind::SQLite ? "SyncPragma=OFF;" : "");
        connection_.Open(cs_);
        db::SeedDemo(connection_);
        Exec("INSERT INTO SMS_ABGROUPS (ID,NAME,FOLDER_ID,USER_ID) VALUES (7,'Seven',0,0),(8,'Eight',0,0)");
    }

    // `count` valid records named `prefix` + number; every tenth one with a
    // gender no rule accepts.
    std::string WriteSource(const std::string& name, const std::string& prefix, int count) const {
        std::string text;
        for (int i = 1; i <= count; ++i)
            text += prefix + std::to_string(i) + ",,,,,98" + std::to_string(100000 + i) + ",," +
                    (i % 10 == 0 ? "X" : "F") + "\r\n";
        std::string path = Folder().file(name);
        test::WriteFile(path, text);
        return path;
    }

    std::vector<std::string> Import(const std::string& source, const std::string& group,
                                    const std::string& cs = {}) const {
        return {PELMAR_BINARY, "import", source, "--remote", cs.empty() ? cs_ : cs,      "--user",
                "1",           "--to",   group,  "--log",    Folder().file("impexp.log")};
    }

    void Exec(const std::string& sql) { test::ExecAll(connection_, {sql}); }
    int64_t Count(const std::string& sql) { return std::stoll(test::SelectRows(connection_, sql, "0").at(0).at(0)); }
    // Contacts named `prefix`... that are not in exactly `group` once.
    int64_t Misplaced(const std::string& prefix, int group) {
        const std::string mine = "FNAME LIKE '" + prefix + "%'";
        return Count("SELECT COUNT(*) FROM SMS_ABCONTACTS c WHERE " + mine +
                     " AND (SELECT COUNT(*) FROM SMS_ABGROUPMAPS m WHERE m.CONTACT_ID = c.ID) <> 1") +
               Count("SELECT COUNT(*) FROM SMS_ABCONTACTS c JOIN SMS_ABGROUPMAPS m ON m.CONTACT_ID = c.ID WHERE " +
                     mine + " AND m.GROUP_ID <> " + std::to_string(group));
    }
    int64_t Stored(const std::string& prefix) {
        return Count("SELECT COUNT(*) FROM SMS_ABCONTACTS WHERE FNAME LIKE '" + prefix + "%'");
    }

    std::string cs_;
    db::Connection connection_;
};

// One record at a time a membership takes the largest contact id, which
// another import may have just inserted; a batch takes its own rows' ids.
TEST_P(ImportFaultsTest, SideBySideBatchedGroupImportsLinkEveryContactToItsOwnGroup) {
    const auto batched = [&](const std::string& source, const std::string& group) {
        std::vector<std::string> command = Import(source, group);
        command.insert(command.end(), {"--commit-every", "50"});
        return command;
    };
    test::RunningCommand first(Folder(), "first", batched(WriteSource("a.csv", "Alpha", 800), "SHGR7"));
    test::RunningCommand second(Folder(), "second", batched(WriteSource("b.csv", "Beta", 800), "SHGR8"));
    for (test::RunningCommand* run : {&first, &second}) {
        const test::CommandOutcome outcome = run->Wait();
        EXPECT_EQ(outcome.status, 1) << outcome.err;  // every tenth record is rejected
        EXPECT_EQ(Summary(outcome, "Imported"), 720) << outcome.out;
    }
    EXPECT_EQ(std::vector({Stored("Alpha"), Stored("Beta"), Misplaced("Alpha", 7), Misplaced("Beta", 8)}),
              std::vector<int64_t>({720, 720, 0, 0}));
}

TEST_P(ImportFaultsTest, InterruptedGroupImportEndsBetweenWholeRecordsWithItsSummary) {
    if (GetParam().kind != test::BackendKind::SQLite) GTEST_SKIP() << "one back end shows it";
    // Every commit waits for the disk, so that the run is still going when
    // the signal comes.
    for (const auto& [signal, status] : {std::pair{SIGINT, 130}, std::pair{SIGTERM, 143}}) {
        SCOPED_TRACE(status);
        const std::string prefix = "Sig" + std::to_string(signal) + "x";
        test::RunningCommand run(Folder(), prefix,
                                 Import(WriteSource(prefix + ".csv", prefix, 20000), "SHGR7", ConnectionString()));
        std::this_thread::sleep_for(std::chrono::milliseconds(700));
        run.Signal(signal);
        const test::CommandOutcome outcome = run.Wait();
        EXPECT_EQ(outcome.status, status) << outcome.err;
        EXPECT_NE(outcome.err.find("interrupted before record "), std::string::npos) << outcome.err;
        EXPECT_EQ(Stored(prefix), Summary(outcome, "Imported")) << outcome.out;
        EXPECT_LT(Stored(prefix), 18000);
        EXPECT_EQ(Misplaced(prefix, 7), 0);
    }
    EXPECT_NE(test::ReadFile(Folder().file("impexp.log")).find("PelmarImpExp: Import stopped by an interrupt"),
              std::string::npos);
}

TEST_P(ImportFaultsTest, LostServerFailsTheRestAtOnceAndKeepsWhatWasCommitted) {
    if (GetParam().kind != test::BackendKind::PostgreSQL) GTEST_SKIP() << "needs a server whose session can go";
    for (const int signal : {0, SIGSTOP}) {  // 0: the session is terminated
        SCOPED_TRACE(signal);
        Exec("DELETE FROM SMS_ABGROUPMAPS");
        Exec("DELETE FROM SMS_ABCONTACTS");
        const std::string source = WriteSource("lost.csv", "Lost", 30000);
        const Clock::time_point start = Clock::now();
        test::RunningCommand run(Folder(), "lost", Import(source, "SHGR7", cs_ + "CommandTimeout=2;"));
        db::Recordset importer;
        for (int tries = 0; tries < 100; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            importer = db::Recordset();
            importer.Open(
                "SELECT pid FROM pg_stat_activity WHERE pid <> pg_backend_pid() AND "
                "query LIKE '%SMS_AB%' AND datname = current_database()",
                connection_);
            if (!importer.Eof()) break;
        }
        ASSERT_FALSE(importer.Eof()) << "the import's session never showed";
        const std::string pid = importer.Field(0).ToText();
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        if (signal == 0)
            Exec("SELECT pg_terminate_backend(" + pid + ")");
        else
            ::kill(std::stoi(pid), SIGSTOP);
        const test::CommandOutcome outcome = run.Wait();
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        if (signal != 0) {
            ::kill(std::stoi(pid), SIGCONT);
            Exec("SELECT pg_terminate_backend(" + pid + ")");
        }
        EXPECT_EQ(outcome.status, 1) << outcome.err;
        EXPECT_LT(seconds, 60) << "bounded by the timeout, not by the records";
        const int64_t imported = Summary(outcome, "Imported"), failed = Summary(outcome, "Failed");
        const int64_t badLines = static_cast<int64_t>(test::ReadLines(Folder().file("lost.bad")).size());
        // Each insert commits on its own: the record cut short between its
        // contact and its membership has its contact in, counted as failed.
        EXPECT_GE(Stored("Lost"), imported);
        EXPECT_LE(Stored("Lost"), imported + 1);
        EXPECT_EQ(imported + failed, 30000);
        EXPECT_EQ(failed, badLines + 3000);  // the rejected tenth records are not in .bad
        EXPECT_GT(badLines, 0);
        EXPECT_LE(Misplaced("Lost", 7), 1);
        std::filesystem::remove(Folder().file("lost.bad"));
    }
}

TEST_P(ImportFaultsTest, UnwritableBadFileIsToldAndTheRunGoesOn) {
    if (GetParam().kind != test::BackendKind::SQLite) GTEST_SKIP() << "one back end shows it";
    const std::string source = Folder().file("tight.csv");
    // Records 2 and 4 fail at their insert (an Age beyond 32 bits).
    test::WriteFile(source,
                    "Qa,,,,,981,,,,1\r\nQb,,,,,982,,,,3000000000\r\nQc,,,,,983\r\nQd,,,,,984,,,,3000000000\r\n");
    std::filesystem::create_directory(Folder().file("tight.bad"));  // where the .bad file would go
    const test::CommandOutcome outcome =
        test::RunCommand(Folder(), {PELMAR_BINARY, "import", source, "--remote", cs_, "--user", "1", "--map",
                                    "0=FirstName,5=MobileNumber,9=Age", "--log", Folder().file("impexp.log")});
    EXPECT_EQ(outcome.status, 1);
    EXPECT_NE(outcome.out.find("Imported: 2\nFailed: 2\n"), std::string::npos) << outcome.out;
    EXPECT_NE(outcome.err.find("2 line(s) could not be written to the rejected-records file"), std::string::npos)
        << outcome.err;
    EXPECT_EQ(outcome.err.find("could not be written to the log"), std::string::npos) << outcome.err;
    EXPECT_EQ(Stored("Q"), 2);
}

PELMAR_INSTANTIATE_BACKEND_TESTS(ImportFaultsTest);

}  // namespace
}  // namespace pelmar
