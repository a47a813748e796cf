#include "core/rejects_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "testing/temp_dir.h"
#include "testing/thrown.h"

namespace pelmar {
namespace {

// Rows of three columns: "Ann|98100|x" and "Bo, Jr|98x" (two fields).
RecordStore Rows() {
    RecordStore rows;
    rows.SetColumnCount(3);
    rows.AddRow(2, "Ann");
    rows.AddSubItem("98100");
    rows.AddSubItem("x");
    rows.AddRow(4, "Bo, Jr");
    rows.AddSubItem("98x");
    return rows;
}

RecordProblem Problem(int32_t record, int32_t line, std::string field, std::string reason) {
    return {RecordProblem::Kind::Rejected, record, line, std::move(field), "v", std::move(reason)};
}

TEST(RejectsFileTest, RecordsAsTheSourceHadThemWithLineAndReason) {
    const RecordStore rows = Rows();
    const struct {
        const char* name;
        std::vector<std::string> header;
        bool hasHeader;
        char32_t delimiter;
        std::string written;
    } cases[] = {
        {"a header wider than the rows",
         {"Name", "Mobile", "Note", "Extra"},
         true,
         U',',
         "Name,Mobile,Note,Extra,Line,Reason\r\n\"Bo, Jr\",98x,,,4,\"Mobile \"\"v\"\": bad\"\r\n"
         "Ann,98100,x,,2,Overflow\r\n,,,,0,rejected\r\n"},
        {"no header, a semicolon",
         {},
         false,
         U';',
         "Bo, Jr;98x;;4;\"Mobile \"\"v\"\": bad\"\r\nAnn;98100;x;2;Overflow\r\n;;;0;rejected\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempDir folder;
        const std::string path = folder.file("out.rejects.csv");
        RejectsFile rejects(path, folder.file("in.csv"), c.header, c.hasHeader, rows, c.delimiter);
        EXPECT_FALSE(std::filesystem::exists(path));  // nothing before the first record
        rejects.NotImported(Problem(2, 4, "Mobile", "bad"));
        rejects.NotImported(Problem(1, 2, "", "Overflow"));
        rejects.NotImported(Problem(0, 0, "", "rejected"));  // no such row: its fields are empty
        EXPECT_EQ(rejects.Records(), 3);
        EXPECT_EQ(test::ReadFile(path), c.written);
        EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::group_read,
                  std::filesystem::perms::none);
    }
}

TEST(RejectsFileTest, NeverTheSourceAndAnOlderFileStartsAfresh) {
    const RecordStore rows = Rows();
    test::TempDir folder;
    const std::string source = folder.file("in.csv");
    test::WriteFile(source, "Ann,98100,x\n");
    RejectsFile same(folder.path().string() + "/./in.csv", source, {}, false, rows, U',');
    EXPECT_EQ(test::ErrorNumberOf([&] { same.NotImported(Problem(1, 1, "", "r")); }), errnum::PermissionDenied);
    EXPECT_EQ(test::ReadFile(source), "Ann,98100,x\n");
    EXPECT_EQ(same.Records(), 0);

    const std::string older = folder.file("old.csv");
    test::WriteFile(older, "left over\r\n");
    RejectsFile rejects(older, source, {}, false, rows, U',');
    rejects.NotImported(Problem(1, 1, "", "r"));
    EXPECT_EQ(test::ReadFile(older), "Ann,98100,x,1,r\r\n");
}

TEST(RejectsFileTest, DefaultPathReplacesTheExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"/d/contacts.csv", "/d/contacts.rejects.csv"},
        {"/d/contacts", "/d/contacts.rejects.csv"},
        {"/d.v/list", "/d.v/list.rejects.csv"},
        {"/d/x.tar.gz", "/d/x.tar.rejects.csv"},
        {"list.txt", "list.rejects.csv"},
    };
    for (const auto& [source, rejects] : cases) EXPECT_EQ(DefaultRejectsPath(source), rejects) << source;
}

}  // namespace
}  // namespace pelmar
