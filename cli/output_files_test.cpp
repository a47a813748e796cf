// The files `pelmar` creates: data files owner-only, the log by the umask, refused destinations.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "testing/run_command.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

namespace fs = std::filesystem;

class OutputFilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        umask_ = ::umask(022);
        ASSERT_EQ(Run({"db", "init", cs_, "--seed"}).status, 0);
        test::WriteFile(log_, "earlier\n");
    }
    void TearDown() override { ::umask(umask_); }

    test::CommandOutcome Run(std::vector<std::string> args) const {
        args.insert(args.begin(), PELMAR_BINARY);
        return test::RunCommand(dir_, args);
    }
    test::CommandOutcome Export(const std::string& destination) const {
        return Run({"export", destination, "--remote", cs_, "--user", "1", "--log", log_});
    }
    static fs::perms Mode(const std::string& path) { return fs::status(path).permissions() & fs::perms::mask; }

    test::TempDir dir_;
    std::string db_ = dir_.file("book.db");
    std::string cs_ = "Driver=SQLite3;Database=" + db_;
    std::string log_ = dir_.file("run.log");
    static constexpr fs::perms kOwnerOnly = fs::perms::owner_read | fs::perms::owner_write;
    static constexpr fs::perms kByUmask = kOwnerOnly | fs::perms::group_read | fs::perms::others_read;

private:
    mode_t umask_ = 0;
};

TEST_F(OutputFilesTest, ExportRefusesWhatItWouldDestroyBeforeTouchingAnything) {
    fs::create_directory(dir_.file("sub"));
    fs::create_symlink("book.db", dir_.file("link.db"));
    const std::string book = test::ReadFile(db_);
    const struct {
        std::string destination;
        std::string why;
    } cases[] = {
        {dir_.file("sub") + " ", "it is a folder"},
        {db_, "it is the database"},
        {dir_.file("sub/../link.db"), "it is the database"},
        {db_ + "-wal", "it is a file of the database " + db_},
        {log_, "it is the log"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.destination);
        const test::CommandOutcome outcome = Export(c.destination);
        EXPECT_EQ(outcome.status, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("refusing to export to " + c.destination.substr(0, c.destination.find(' ')) + ": " +
                                   c.why),
                  std::string::npos)
            << outcome.err;
        EXPECT_EQ(test::ReadFile(db_), book);
        EXPECT_EQ(test::ReadFile(log_), "earlier\n");
        EXPECT_FALSE(fs::exists(db_ + "-wal"));
    }
}

TEST_F(OutputFilesTest, ExportWritesTheTrimmedPathItCreatedOwnerOnlyAndTheLogByUmask) {
    fs::remove(log_);
    const std::string typed = dir_.file("out.csv") + " ";
    const test::CommandOutcome outcome = Export(typed);
    EXPECT_EQ(outcome.status, 0) << outcome.err;
    EXPECT_NE(outcome.err.find("exported to '" + typed + "'"), std::string::npos) << outcome.err;
    EXPECT_FALSE(fs::exists(typed));
    const std::string written = test::ReadFile(dir_.file("out.csv"));
    EXPECT_EQ(outcome.out, std::to_string(std::count(written.begin(), written.end(), '\n')) + "\n");
    EXPECT_NE(outcome.out, "0\n");
    EXPECT_EQ(Mode(dir_.file("out.csv")), kOwnerOnly);
    EXPECT_EQ(Mode(log_), kByUmask);
}

// An Age that overflows fails its record at the insert.
TEST_F(OutputFilesTest, FailedRecordsGoToAnOwnerOnlyFileThatIsNeverTheSource) {
    const std::string text = "Ann,98100,3000000000\r\nBob,98101,7\r\n";
    test::WriteFile(dir_.file("list.bad"), text);
    const test::CommandOutcome outcome = Run({"import", dir_.file("list.bad"), "--remote", cs_, "--user", "1", "--map",
                                              "0=FirstName,1=MobileNumber,2=Age", "--log", log_});
    EXPECT_EQ(outcome.status, 1) << outcome.err;
    EXPECT_EQ(test::ReadFile(dir_.file("list.bad")), text);
    EXPECT_EQ(test::ReadFile(dir_.file("list.bad.bad")), "Ann,98100\n");
    EXPECT_EQ(Mode(dir_.file("list.bad.bad")), kOwnerOnly);
}

// A log past the limit fails its writes; pelmar reports and exits instead of
// dying of SIGXFSZ halfway through a line.
TEST_F(OutputFilesTest, FileSizeLimitIsAWriteErrorNotTheEnd) {
    test::WriteFile(log_, std::string(8192, 'x'));
    const test::CommandOutcome outcome =
        test::RunCommand(dir_, {"sh", "-c", "ulimit -f 1 && exec \"$0\" \"$@\"", PELMAR_BINARY, "export",
                                dir_.file("out.csv"), "--remote", cs_, "--user", "1", "--log", log_});
    EXPECT_EQ(outcome.status, 2);
    EXPECT_NE(outcome.err.find("initialisation failed"), std::string::npos) << outcome.err;
}

}  // namespace
}  // namespace pelmar
