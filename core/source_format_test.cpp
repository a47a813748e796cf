#include "core/source_format.h"

#include <gtest/gtest.h>

#include "testing/temp_dir.h"
#include "testing/zip_builder.h"

namespace pelmar {
namespace {

TEST(SourceFormat, AFileIsToldByWhatItHoldsAndANameByItsExtension) {
    test::TempDir folder;
    const struct {
        std::string bytes;
        FileFormat format;
    } cases[] = {
        {"\xEF\xBB\xBF\r\n \t\nbegin:vCard\r\nN:A\r\n", FileFormat::Vcard},
        {"BEGIN:VCARD", FileFormat::Vcard},
        {"BEGIN:VCAR", FileFormat::Csv},
        {"Name,BEGIN:VCARD\r\n", FileFormat::Csv},
        {"", FileFormat::Csv},
        {test::ZipBytes(test::WorkbookEntries({.sheets = {{"S", ""}}})), FileFormat::Xlsx},
        {test::ZipBytes({test::Stored("word/document.xml", "<w/>")}), FileFormat::Csv},
        {"PK\x03\x04 not an archive", FileFormat::Csv},
    };
    const std::string path = folder.file("source");
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.bytes.substr(0, 20)));
        test::WriteFile(path, c.bytes);
        EXPECT_EQ(DetectFileFormat(path), c.format);
    }
    EXPECT_EQ(DetectFileFormat(folder.file("missing")), FileFormat::Csv);

    EXPECT_EQ(FileFormatOfName("/a/People.VCF"), FileFormat::Vcard);
    EXPECT_EQ(FileFormatOfName("book.Xlsx"), FileFormat::Xlsx);
    EXPECT_EQ(FileFormatOfName("book.xlsx.csv"), FileFormat::Csv);
    EXPECT_EQ(FileFormatOfName("vcf"), FileFormat::Csv);
}

}  // namespace
}  // namespace pelmar
