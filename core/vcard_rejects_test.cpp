#include "core/vcard_rejects.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/error.h"
#include "testing/temp_dir.h"

namespace pelmar {
namespace {

RecordProblem Problem(int32_t line, std::string field, std::string value, std::string reason) {
    return {.line = line, .field = std::move(field), .value = std::move(value), .reason = std::move(reason)};
}

TEST(VcardRejectsFile, CopiesRejectedCardsWithTheirReason) {
    test::TempDir dir;
    const std::string source = dir.file("book.vcf");
    test::WriteFile(source,
                    "BEGIN:VCARD\nVERSION:3.0\nN:Kept;Kim\nTEL;TYPE=CELL:1\nEND:VCARD\n"
                    "BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE:Z=C3=BC;Al=\r\nex\r\n"
                    "PHOTO;ENCODING=BASE64:\r\n  AAAA\r\n\r\nX-PELMAR-REJECTED:line 6: Mobile \"\": \r\n"
                    " old\r\nAGENT:\r\nBEGIN:VCARD\r\nN:Agent\r\nEND:VCARD\r\nend:vcard\r\n"
                    "BEGIN:VCARD\rVERSION:4.0\rFN:Cut \xC3\xA9\rTEL:x");
    const std::string path = dir.file("book.rejects.vcf");
    VcardRejectsFile rejects(path, source);
    EXPECT_FALSE(std::filesystem::exists(path));

    rejects.NotImported(Problem(20, "MobileNumber", "x", "Mobile No is not numeric, or name missing"));
    rejects.NotImported(Problem(6, "", "", "Invalid gender."));
    EXPECT_EQ(rejects.Records(), 2);
    EXPECT_EQ(test::ReadFile(path),
              "BEGIN:VCARD\r\nVERSION:4.0\r\nFN:Cut \xC3\xA9\r\nTEL:x\r\n"
              "X-PELMAR-REJECTED:line 20: MobileNumber \"x\": Mobile No is not numeric\\, or \r\n"
              " name missing\r\nEND:VCARD\r\n"
              "BEGIN:VCARD\r\nVERSION:2.1\r\nN;ENCODING=QUOTED-PRINTABLE:Z=C3=BC;Al=\r\nex\r\n"
              "PHOTO;ENCODING=BASE64:\r\n  AAAA\r\n\r\nAGENT:\r\nBEGIN:VCARD\r\nN:Agent\r\nEND:VCARD\r\n"
              "X-PELMAR-REJECTED:line 6: Invalid gender.\r\nEND:VCARD\r\n");

    EXPECT_THROW(rejects.NotImported(Problem(2, "", "", "no card begins here")), Error);

    const std::string book = test::ReadFile(source);
    VcardRejectsFile over(source, source);  // never written over its source
    EXPECT_THROW(over.NotImported(Problem(1, "", "", "x")), Error);
    EXPECT_EQ(test::ReadFile(source), book);
    EXPECT_EQ(DefaultVcardRejectsPath("/in/book.vcf"), "/in/book.rejects.vcf");
    EXPECT_EQ(DefaultVcardRejectsPath("/in/book"), "/in/book.rejects.vcf");
}

}  // namespace
}  // namespace pelmar
