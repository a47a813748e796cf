#pragma once
// The rejects file of a vCard import: every card that was not imported, as
// the source wrote it (its lines decoded to UTF-8, CR LF), with one property
// added before its END:VCARD, X-PELMAR-REJECTED:line N: REASON, so that it
// can be fixed and imported again (the reader ignores that property, and a
// card rejected again keeps only the newest one).
#include <cstdint>
#include <memory>
#include <string>

#include "core/record_problem.h"

namespace pelmar {

class File;
class TextFileReader;
class VcardLineReader;

class VcardRejectsFile final : public ProblemSink {
public:
    // Nothing is written before the first record: a run without one leaves
    // no file. `source` is the file the cards were read from, never written.
    VcardRejectsFile(std::string path, std::string source);
    ~VcardRejectsFile() override;

    // Copies the card whose BEGIN:VCARD is on the problem's line. Creates the
    // file at the first record (emptying an older one); throws when it cannot
    // be written or is the source itself, or when no card begins on that line.
    void NotImported(const RecordProblem& problem) override;

    const std::string& Path() const noexcept { return path_; }
    int32_t Records() const noexcept { return records_; }

private:
    // Reads the source on to `line`, from its start again when it is behind.
    std::string_view SourceLine(int32_t line);

    std::string path_;
    std::string source_;
    std::unique_ptr<File> file_;
    std::unique_ptr<TextFileReader> text_;
    std::unique_ptr<VcardLineReader> lines_;
    int32_t records_ = 0;
};

// The default path: the source's path with its extension (if any) replaced
// by ".rejects.vcf".
std::string DefaultVcardRejectsPath(const std::string& source);

}  // namespace pelmar
