#include "core/xlsx_zip.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <vector>

#include "common/error.h"
#include "common/file.h"

namespace pelmar::xlsx {
namespace {

// A workbook saved with a password is no zip: it is an OLE compound
// document holding an "EncryptionInfo" stream beside the encrypted package.
constexpr std::string_view kOleMagic("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
constexpr std::string_view kEncryptionInfo("E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0",
                                           28);  // the stream's name, UTF-16

[[noreturn]] void RefuseOle(bool encrypted) {
    if (encrypted) Refuse("The workbook is password-protected.");
    Refuse("The file is an OLE document (an older .xls workbook?), not an xlsx workbook.");
}

// Whether the OLE document `file` names an EncryptionInfo stream anywhere.
bool HoldsEncryptionInfo(File& file) {
    std::string window;
    std::array<char, 1 << 16> buffer;
    for (std::size_t got; (got = file.Read(buffer.data(), buffer.size())) > 0;) {
        window.append(buffer.data(), got);
        if (window.find(kEncryptionInfo) != std::string::npos) return true;
        window.erase(0, window.size() - std::min(window.size(), kEncryptionInfo.size()));
    }
    return false;
}

std::string ZipErrorText(int code) {
    zip_error_t error;
    zip_error_init_with_code(&error, code);
    std::string text = zip_error_strerror(&error);
    zip_error_fini(&error);
    return text;
}

struct FileCloser {
    void operator()(zip_file_t* file) const noexcept { zip_fclose(file); }
};

}  // namespace

void ZipArchive::Closer::operator()(zip* archive) const noexcept { zip_discard(archive); }

bool IsOutsidePath(std::string_view name) {
    if (name.empty() || name.front() == '/' || name.front() == '\\') return true;
    if (name.size() >= 2 && name[1] == ':') return true;  // a drive: C:...
    std::size_t start = 0;
    while (start <= name.size()) {
        const std::size_t end = std::min(name.find_first_of("/\\", start), name.size());
        if (name.substr(start, end - start) == "..") return true;
        start = end + 1;
    }
    return false;
}

ZipArchive::ZipArchive(const std::string& path, const Limits& limits) : limits_(limits) {
    File file(path, File::Mode::Input);
    fileBytes_ = file.Size();
    std::array<char, kOleMagic.size()> magic{};
    const std::size_t got = file.Read(magic.data(), magic.size());
    if (std::string_view(magic.data(), got) == kOleMagic) RefuseOle(HoldsEncryptionInfo(file));
    file.Close();
    int error = 0;
    zip* archive = zip_open(path.c_str(), ZIP_RDONLY, &error);
    Adopt(archive, error);
}

ZipArchive::ZipArchive(std::string_view bytes, const Limits& limits) : limits_(limits), fileBytes_(bytes.size()) {
    if (bytes.starts_with(kOleMagic)) RefuseOle(bytes.find(kEncryptionInfo) != std::string_view::npos);
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
    zip* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    if (!archive && source) zip_source_free(source);
    const int code = zip_error_code_zip(&error);
    zip_error_fini(&error);
    Adopt(archive, code);
}

ZipArchive::~ZipArchive() = default;

void ZipArchive::Adopt(zip* archive, int error) {
    if (!archive) {
        if (error == ZIP_ER_NOZIP || error == ZIP_ER_INCONS || error == ZIP_ER_EOF)
            Refuse("The file is not an xlsx workbook (no zip archive).");
        Refuse("The workbook cannot be opened: " + ZipErrorText(error) + ".");
    }
    zip_.reset(archive);
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        zip_stat_t stat;
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW, &stat) != 0)
            Refuse("The workbook's zip directory is damaged.");
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE)
            Refuse("The workbook is password-protected.");
        if ((stat.valid & ZIP_STAT_NAME) && IsOutsidePath(stat.name))
            Refuse("The workbook's entry \"" + std::string(stat.name) + "\" has a path outside the archive.");
    }
}

int64_t ZipArchive::Find(const std::string& part) const {
    return zip_name_locate(zip_.get(), part.c_str(), ZIP_FL_NOCASE | ZIP_FL_ENC_RAW);
}

bool ZipArchive::Has(const std::string& part) const { return Find(part) >= 0; }

uint64_t ZipArchive::ClaimedSize(const std::string& part) const {
    const int64_t index = Find(part);
    zip_stat_t stat;
    if (index < 0 || zip_stat_index(zip_.get(), static_cast<zip_uint64_t>(index), 0, &stat) != 0) return 0;
    return (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
}

void ZipArchive::Read(const std::string& part, const Sink& sink) const {
    const int64_t index = Find(part);
    if (index < 0) Refuse("The workbook has no part " + part + ".");
    zip_stat_t stat;
    if (zip_stat_index(zip_.get(), static_cast<zip_uint64_t>(index), 0, &stat) != 0)
        Refuse("The workbook's zip directory is damaged.");
    // The packed size is the archive's claim: no part packs into more than
    // the whole file.
    const uint64_t packed = std::min<uint64_t>((stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0, fileBytes_);
    std::unique_ptr<zip_file_t, FileCloser> file(zip_fopen_index(zip_.get(), static_cast<zip_uint64_t>(index), 0));
    if (!file) Refuse("The workbook's part " + part + " cannot be read: " + zip_strerror(zip_.get()) + ".");
    std::vector<char> buffer(1 << 16);
    uint64_t inflated = 0;
    for (;;) {
        const zip_int64_t got = zip_fread(file.get(), buffer.data(), buffer.size());
        if (got < 0) Refuse("The workbook's part " + part + " is damaged: " + zip_file_strerror(file.get()) + ".");
        if (got == 0) break;
        inflated += static_cast<uint64_t>(got);
        CheckInflated(part, inflated, packed, limits_);
        sink(std::string_view(buffer.data(), static_cast<std::size_t>(got)));
    }
}

}  // namespace pelmar::xlsx
