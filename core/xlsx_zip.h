#pragma once
// The zip archive under a workbook, read part by part and never unpacked
// anywhere. Opening it refuses what is no workbook at all: a file that is
// not a zip, a password-protected workbook (an encrypted OLE document or
// encrypted entries) and entries whose names point outside the archive.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "core/xlsx_limits.h"

struct zip;

namespace pelmar::xlsx {

class ZipArchive {
public:
    // The file at `path`; a file that cannot be opened throws the file error.
    ZipArchive(const std::string& path, const Limits& limits);
    // The archive in `bytes`, which must outlive it.
    ZipArchive(std::string_view bytes, const Limits& limits);
    ~ZipArchive();
    ZipArchive(const ZipArchive&) = delete;
    ZipArchive& operator=(const ZipArchive&) = delete;

    // Part names are compared without regard to case, as the package's are.
    bool Has(const std::string& part) const;

    // Inflates part `part` piece by piece into `sink`, refusing it as soon
    // as it breaks a limit; refuses a part that is not there.
    using Sink = std::function<void(std::string_view piece)>;
    void Read(const std::string& part, const Sink& sink) const;

    // The inflated size the archive claims for `part`; 0 when it has none.
    uint64_t ClaimedSize(const std::string& part) const;

private:
    void Adopt(zip* archive, int error);
    int64_t Find(const std::string& part) const;

    struct Closer {
        void operator()(zip* archive) const noexcept;
    };
    std::unique_ptr<zip, Closer> zip_;
    Limits limits_;
    uint64_t fileBytes_;
};

// True when `name` names a place outside the folder it is unpacked into:
// an absolute path, a drive, or a ".." step.
bool IsOutsidePath(std::string_view name);

}  // namespace pelmar::xlsx
