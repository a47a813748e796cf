// Workbooks refused as a whole, with a reason a person can act on, quickly and without holding
// what they would inflate to.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <chrono>

#include "common/error.h"
#include "core/xlsx_reader.h"
#include "core/xlsx_workbook.h"
#include "core/xlsx_zip.h"
#include "testing/recording_observer.h"
#include "testing/temp_dir.h"
#include "testing/zip_builder.h"

namespace pelmar {
namespace {

using test::WorkbookEntries;
using test::ZipBytes;
using test::ZipEntry;

// Keeps nothing but counts what a listing would keep.
struct Count : xlsx::SheetSink {
    void Row(int32_t, std::span<const std::string> cells) override {
        for (const std::string& cell : cells) bytes_ += cell.size();
    }
    std::size_t Held() const override { return bytes_; }
    std::size_t bytes_ = 0;
};

// The refusal's reason, or "read" when the workbook was read.
std::string Outcome(std::string_view bytes, const XlsxReadOptions& options = {}) {
    Count sink;
    try {
        ReadXlsxSheetFromBytes(bytes, options, sink);
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), errnum::InvalidFileFormat) << e.what();
        return e.what();
    }
    return "read";
}

std::vector<ZipEntry> OneSheet(const std::string& rows) { return WorkbookEntries({.sheets = {{"Sheet1", rows}}}); }
std::string Sheet(const std::string& rows) { return ZipBytes(OneSheet(rows)); }

std::vector<ZipEntry> With(std::vector<ZipEntry> entries, ZipEntry entry) {
    std::erase_if(entries, [&](const ZipEntry& e) { return e.name == entry.name; });
    entries.push_back(std::move(entry));
    return entries;
}

std::string InlineCell(const std::string& text) {
    return R"(<row r="1"><c r="A1" t="inlineStr"><is><t>)" + text + "</t></is></c></row>";
}

const std::string kSheetStart =
    R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)";
const std::string kSheetEnd = "</sheetData></worksheet>";

TEST(XlsxHostile, RefusesWhatIsNoWorkbookOrCannotBeReadWhole) {
    std::string ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    ole.resize(1024, '\0');
    std::string encryptedOle = ole + std::string("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0", 28);
    ZipEntry encrypted = test::Stored("xl/worksheets/sheet1.xml", kSheetStart + kSheetEnd);
    encrypted.encrypted = true;
    // Entities are refused before any is expanded, whether they would laugh a billion times or read a file.
    const std::string laughs =
        R"(<?xml version="1.0"?><!DOCTYPE worksheet [<!ENTITY a "aaaaaaaaaa"><!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;">)"
        R"(<!ENTITY c "&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;"><!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">]>)" +
        kSheetStart + InlineCell("&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;") + kSheetEnd;
    const std::string external =
        R"(<?xml version="1.0"?><!DOCTYPE worksheet SYSTEM "file:///etc/passwd">)" + kSheetStart + kSheetEnd;
    const std::string doctype =
        "The workbook's part xl/worksheets/sheet1.xml declares a document type (entities are not read).";
    std::string multiDisk = Sheet("");
    multiDisk[multiDisk.size() - 22 + 4] = 1;  // the end record's disk number

    const std::pair<std::string, std::string> cases[] = {
        {"FirstName,MobileNumber\r\n", "The file is not an xlsx workbook (no zip archive)."},
        {"", "The file is not an xlsx workbook (no workbook part)."},  // an empty zip
        {ZipBytes({test::Stored("hello.txt", "hello")}), "The file is not an xlsx workbook (no workbook part)."},
        {encryptedOle, "The workbook is password-protected."},
        {ole, "The file is an OLE document (an older .xls workbook?), not an xlsx workbook."},
        {ZipBytes(With(OneSheet(""), encrypted)), "The workbook is password-protected."},
        {ZipBytes(With(OneSheet(""), test::Stored("../../evil.xml", "x"))),
         "The workbook's entry \"../../evil.xml\" has a path outside the archive."},
        {Sheet(R"(<row><c t="s"><v>0</v></c></row>)"),
         "The workbook's sheet refers to shared string 0, which it does not have."},
        {Sheet(R"(<row r="2"/><row r="1"/>)"), "The workbook's sheet has its rows out of order (row 1 after row 2)."},
        {Sheet(R"(<row r="1"><c r="B1"/><c r="A1"/></row>)"),
         "The workbook's sheet has its cells out of order in row 1."},
        {Sheet(R"(<row r="1"><c r="B1"/><c r="B1"/></row>)"),
         "The workbook's sheet has its cells out of order in row 1."},
        {Sheet(R"(<row r="1"><c r="XFE1"><v>1</v></c></row>)"), "The workbook's sheet has a cell named \"XFE1\"."},
        {multiDisk, "The workbook cannot be opened: Multi-disk zip archives not supported."},
        {Sheet("<row r=\"1\"><c></row>"),
         "The workbook's part xl/worksheets/sheet1.xml is not well-formed XML (mismatched tag at line 1)."},
        {ZipBytes(With(OneSheet(""), test::Stored("xl/worksheets/sheet1.xml", laughs))), doctype},
        {ZipBytes(With(OneSheet(""), test::Stored("xl/worksheets/sheet1.xml", external))), doctype},
    };
    for (const auto& [bytes, reason] : cases) EXPECT_EQ(Outcome(bytes), reason);
}

TEST(XlsxHostile, RefusesTargetsThatClimbOutOfThePackage) {
    EXPECT_EQ(xlsx::ResolveTarget("xl/workbook.xml", "worksheets/sheet1.xml"), "xl/worksheets/sheet1.xml");
    EXPECT_EQ(xlsx::ResolveTarget("xl/workbook.xml", "/xl/./styles.xml"), "xl/styles.xml");
    EXPECT_EQ(xlsx::ResolveTarget("xl/worksheets/sheet1.xml", "../sharedStrings.xml"), "xl/sharedStrings.xml");
    EXPECT_EQ(xlsx::ResolveTarget("", "xl/workbook.xml"), "xl/workbook.xml");

    std::vector<ZipEntry> entries = OneSheet("");
    for (ZipEntry& entry : entries)
        if (entry.name == "xl/_rels/workbook.xml.rels") {
            const std::size_t at = entry.data.find("worksheets/sheet1.xml");
            entry = test::Stored(entry.name, entry.data.replace(at, 21, "../../../etc/passwd"));
        }
    EXPECT_EQ(Outcome(ZipBytes(entries)),
              "The workbook refers to \"../../../etc/passwd\", a path outside the archive.");

    const std::pair<std::string_view, bool> names[] = {
        {"xl/workbook.xml", false}, {"a/../b", true},  {"..", true}, {"/abs", true}, {"\\abs", true}, {"C:/x", true},
        {"a\\..\\b", true},         {"a..b/c", false}, {"", true},
    };
    for (const auto& [name, outside] : names) EXPECT_EQ(xlsx::IsOutsidePath(name), outside) << name;
}

// A sheet of valid XML that inflates past every limit: whitespace between
// its elements, which the parser reads without keeping.
ZipEntry Bomb(uint64_t mebibytes, std::string_view claimedBy = {}) {
    ZipEntry bomb = test::DeflatedRepeat("xl/worksheets/sheet1.xml", kSheetStart + InlineCell("Ann"),
                                         std::string(1 << 20, ' '), mebibytes, kSheetEnd);
    if (!claimedBy.empty()) bomb.size = claimedBy.size();
    return bomb;
}

// A cell is refused past the characters (not bytes) it may hold, escapes
// counting as the characters they stand for; a part as it inflates past its
// limits, whatever its header claims; both before all of it is held.
TEST(XlsxHostile, RefusesACellOrAPartPastItsLimitWhileReadingIt) {
    std::string longest;
    for (int i = 0; i < 32767; ++i) longest += "\u00E9";
    std::string unnamed = "<row>";  // the 52nd cell, named by its place: AZ
    for (int i = 0; i < 51; ++i) unnamed += "<c/>";
    unnamed += R"(<c t="inlineStr"><is><t>)" + longest + "x</t></is></c></row>";
    std::string escaped;
    for (int i = 0; i < 32768; ++i) escaped += "_x0041_";
    const ZipEntry huge =
        test::DeflatedRepeat("xl/worksheets/sheet1.xml", kSheetStart + R"(<row r="1"><c r="A1" t="inlineStr"><is><t>)",
                             std::string(1 << 20, 'x'), 64, "</t></is></c></row>" + kSheetEnd);
    const std::string bomb = ZipBytes(With(OneSheet(""), Bomb(64)));
    const xlsx::Limits roomy{.ratio = 1 << 20}, small{.partBytes = 8 << 20, .ratio = 1 << 20};
    const std::string cellA1 = "The workbook's cell A1 holds more than 32767 characters.";
    const std::string past = "The workbook's part xl/worksheets/sheet1.xml inflates past 8388608 bytes.";
    const struct {
        std::string bytes;
        xlsx::Limits limits;
        std::string outcome;
    } cases[] = {
        {Sheet(InlineCell(longest)), {}, "read"},
        {Sheet(InlineCell(longest + "x")), {}, cellA1},
        {Sheet(unnamed), {}, "The workbook's cell AZ1 holds more than 32767 characters."},
        {Sheet(InlineCell(escaped)), {}, cellA1},
        {ZipBytes(With(OneSheet(""), huge)), roomy, cellA1},
        {ZipBytes(WorkbookEntries({.sheets = {{"S", ""}}, .sharedStrings = "<si><t>" + longest + "x</t></si>"})),
         {},
         "The workbook's shared string 0 holds more than 32767 characters."},
        {bomb, roomy, "read"},
        {bomb, small, past},
        {bomb, {}, "The workbook's part xl/worksheets/sheet1.xml inflates to more than 100 times its packed size."},
        {ZipBytes(With(OneSheet(""), Bomb(64, "tiny"))), small, past},
    };
    for (const auto& c : cases) EXPECT_EQ(Outcome(c.bytes, {.limits = c.limits}), c.outcome);
}

TEST(XlsxHostile, TheDefaultLimitsAreOneGibibyteAndAHundredTimesThePackedSize) {
    const xlsx::Limits limits;
    const uint64_t gib = uint64_t{1} << 30;
    EXPECT_NO_THROW(xlsx::CheckInflated("p", gib, gib, limits));
    EXPECT_THROW(xlsx::CheckInflated("p", gib + 1, gib, limits), Error);
    EXPECT_NO_THROW(xlsx::CheckInflated("p", 100 * 4096, 4096, limits));
    EXPECT_THROW(xlsx::CheckInflated("p", 100 * 4096 + 1, 4096, limits), Error);
    EXPECT_THROW(xlsx::CheckInflated("p", 1, 0, limits), Error);
    EXPECT_NO_THROW(xlsx::CheckInflated("p", 0, 0, limits));
}

// AddressSanitizer's shadow memory and quarantine count in the peak: the
// memory bounds are those of the program as built without it.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kPeakIsOurs = false;
#elif defined(__has_feature)
constexpr bool kPeakIsOurs = !__has_feature(address_sanitizer);
#else
constexpr bool kPeakIsOurs = true;
#endif

long PeakKibibytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

TEST(XlsxHostile, ABombPastOneGibibyteIsRefusedQuicklyHoldingLittle) {
    const std::string bomb = ZipBytes(With(OneSheet(""), Bomb(1126)));
    ASSERT_LT(bomb.size(), 4u << 20);
    const long before = PeakKibibytes();
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Outcome(bomb),
              "The workbook's part xl/worksheets/sheet1.xml inflates to more than 100 times its packed size.");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    if (kPeakIsOurs) {
        EXPECT_LT(PeakKibibytes() - before, 64 * 1024);
    }
}

// One long shared string in every cell would list gigabytes from a few hundred kilobytes.
TEST(XlsxHostile, ASheetOfRepeatedLongTextIsRefusedWithinTheMemoryAllowed) {
    std::string row = R"(<row>)";
    for (int i = 0; i < 1000; ++i) row += R"(<c t="s"><v>0</v></c>)";
    row += "</row>";
    std::string rows;
    for (int i = 0; i < 20; ++i) rows += row;  // 20 rows of 32 MB each
    const std::vector<ZipEntry> entries =
        WorkbookEntries({.sheets = {{"S", rows}}, .sharedStrings = "<si><t>" + std::string(32767, 'x') + "</t></si>"});
    test::TempDir folder;
    const std::string path = folder.file("repeated.xlsx");
    test::WriteFile(path, ZipBytes(entries));
    RecordStore store;
    std::vector<std::string> header;
    test::RecordingObserver observer;
    EXPECT_FALSE(ListXlsxSource({.sourceFile = path, .header = false}, store, header, observer));
    EXPECT_EQ(observer.errors, std::vector<std::string>{"The workbook's sheet takes more than the 268435456 bytes of "
                                                        "memory a listing may keep."});
    if (kPeakIsOurs) {
        EXPECT_LT(PeakKibibytes(), 512 * 1024);
    }
}

}  // namespace
}  // namespace pelmar
