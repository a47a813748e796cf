#include "core/vcard_listing.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/contact_field.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

TEST(VcardSheetText, ShowsEachCardAsACsvLineUnderTheFieldNames) {
    test::TempDir folder;
    const std::string cards = folder.file("cards.vcf");
    test::WriteFile(cards,
                    "BEGIN:VCARD\r\nN:Cole;Anna\r\nORG:Cole\\, \"Sons\"\r\nTEL;CELL:0123\r\nEND:VCARD\r\n"
                    "BEGIN:VCARD\r\nEND:VCARD\r\n");
    EncodingChoice encoding;
    const std::string text = VcardSheetText(cards, &encoding);
    EXPECT_TRUE(text.starts_with("FirstName,MiddleName,LastName,")) << text;
    EXPECT_NE(text.find("\r\nAnna,,Cole,"), std::string::npos) << text;
    EXPECT_NE(text.find(R"(,"Cole, ""Sons""",)"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("\r\n" + std::string(kContactFieldCount - 1, ',') + "\r\n")) << text;
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 3);

    const std::string empty = folder.file("empty.vcf");
    test::WriteFile(empty, "");
    EXPECT_EQ(VcardSheetText(empty, nullptr), "");
}

}  // namespace
}  // namespace pelmar
