#pragma once
// Which reader a file from another program needs: standard CSV, vCard or an
// xlsx workbook, told by what the file holds or by its name.
#include <string>
#include <string_view>

namespace pelmar {

enum class FileFormat { Csv, Vcard, Xlsx };

// "csv", "vcard" or "xlsx".
std::string_view FormatName(FileFormat format);

// vCard for a file that begins (after a byte order mark and blank lines)
// with BEGIN:VCARD in any case; xlsx for a zip archive holding
// xl/workbook.xml; anything else, a file that cannot be read too, is CSV.
FileFormat DetectFileFormat(const std::string& path);

// By the name's extension, in any case: .vcf vCard, .xlsx xlsx, else CSV.
FileFormat FileFormatOfName(const std::string& path);

}  // namespace pelmar
