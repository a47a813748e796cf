#include "core/source_format.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>

#include "core/xlsx_zip.h"

namespace pelmar {
namespace {

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin(), [](char a, char b) {
               return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
           });
}

bool BeginsWithCard(std::string_view head) {
    if (head.starts_with("\xEF\xBB\xBF")) head.remove_prefix(3);
    head.remove_prefix(std::min(head.find_first_not_of(" \t\r\n"), head.size()));
    return StartsWithNoCase(head, "BEGIN:VCARD");
}

bool IsWorkbook(const std::string& path) {
    try {
        return xlsx::ZipArchive(path, {}).Has("xl/workbook.xml");
    } catch (...) {
        return false;  // not an archive the reader opens: read as text
    }
}

}  // namespace

std::string_view FormatName(FileFormat format) {
    switch (format) {
        case FileFormat::Vcard: return "vcard";
        case FileFormat::Xlsx: return "xlsx";
        case FileFormat::Csv: break;
    }
    return "csv";
}

FileFormat DetectFileFormat(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    // Enough for a mark and the blank lines any address book writes first.
    std::string head(4096, '\0');
    file.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(file.gcount()));
    if (head.starts_with("PK\x03\x04") && IsWorkbook(path)) return FileFormat::Xlsx;
    return BeginsWithCard(head) ? FileFormat::Vcard : FileFormat::Csv;
}

FileFormat FileFormatOfName(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::ranges::transform(extension, extension.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".vcf") return FileFormat::Vcard;
    if (extension == ".xlsx") return FileFormat::Xlsx;
    return FileFormat::Csv;
}

}  // namespace pelmar
