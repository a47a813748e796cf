#include "core/vcard_listing.h"

#include <gtest/gtest.h>

#include "core/header_mapping.h"
#include "testing/listed_rows.h"
#include "testing/recording_observer.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

TEST(ListVcardSource, ListsCardsUnderTheFieldNamesFromAnyEncoding) {
    test::TempDir dir;
    const std::string utf8 = dir.file("book.vcf");
    const std::string latin = dir.file("latin.vcf");
    test::WriteFile(
        utf8,
        "\xEF\xBB\xBF"
        "BEGIN:VCARD\r\nN:Z\xC3\xBC;Al\r\nTEL;CELL:5\r\nEND:VCARD\r\n\r\nBEGIN:VCARD\r\nFN:Bo\r\nEND:VCARD\r\n");
    test::WriteFile(latin, "BEGIN:VCARD\nN:Z\xFC;Al\nTEL;CELL:5\nEND:VCARD\n");

    test::RecordingObserver observer;
    RecordStore rows;
    std::vector<std::string> header;
    const std::string al = "CN1:Al||Z\u00FC|||5" + std::string(14, '|') + " ";
    ASSERT_TRUE(ListVcardSource({.sourceFile = utf8, .sourceLineCount = 9}, rows, header, observer));
    EXPECT_EQ(test::ListedRows(rows), al + "CN6:Bo" + std::string(19, '|') + " ");
    EXPECT_EQ(rows.ColumnCount(), kContactFieldCount);
    const HeaderMapping mapping = MapByHeader(header);
    ASSERT_EQ(mapping.matches.size(), static_cast<std::size_t>(kContactFieldCount));
    for (const HeaderMatch& match : mapping.matches) EXPECT_EQ(FieldIndex(match.field), match.column + 1);

    ASSERT_TRUE(ListVcardSource({.sourceFile = latin}, rows, header, observer));
    EXPECT_EQ(test::ListedRows(rows), al);
    observer.messages.clear();
    EXPECT_FALSE(ListVcardSource({.sourceFile = dir.file("missing.vcf")}, rows, header, observer));
    EXPECT_FALSE(observer.messages.empty());
}

TEST(VcardSheetText, ShowsEachCardAsACsvLineUnderTheFieldNames) {
    test::TempDir folder;
    const std::string cards = folder.file("cards.vcf");
    test::WriteFile(cards,
                    "BEGIN:VCARD\r\nN:Cole;Anna\r\nORG:Cole\\, \"Sons\"\r\nTEL;CELL:0123\r\nEND:VCARD\r\n"
                    "BEGIN:VCARD\r\nEND:VCARD\r\n");
    EXPECT_EQ(VcardSheetText(cards, nullptr),
              "FirstName,MiddleName,LastName,Email,Address,MobileNumber,Organisation,Sex,CountryCode,Age,City,State,"
              "Country,Zip,HomePhone,OfficePhone,Fax,Birthday,Anniversary,Hobby\r\n"
              "Anna,,Cole,,,0123,\"Cole, \"\"Sons\"\"\"" +
                  std::string(13, ',') + "\r\n" + std::string(19, ',') + "\r\n");
    test::WriteFile(cards, "");
    EXPECT_EQ(VcardSheetText(cards, nullptr), "");
}

}  // namespace
}  // namespace pelmar
