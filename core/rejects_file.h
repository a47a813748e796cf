#pragma once
// The rejects file of a CSV or sheet import: every record that was not
// imported, as the source had it, under the source's header (when it had
// one) with two columns more, the record's line (or row) in the source and
// the reason; so that it can be fixed and imported again. CSV in the
// source's delimiter, UTF-8, CR LF.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/record_problem.h"
#include "core/record_store.h"

namespace pelmar {

class File;

class RejectsFile final : public ProblemSink {
public:
    // Nothing is written before the first record: a run without one leaves
    // no file. `source` is the file the rows were read from, never written.
    // `position` heads the column of the record's place in the source: its
    // line in a text file, its row in a sheet ("Row").
    RejectsFile(std::string path, std::string source, const std::vector<std::string>& header, bool hasHeader,
                const RecordStore& rows, char32_t delimiter, std::string position = "Line");
    ~RejectsFile() override;

    // Creates the file at the first record (emptying an older one); throws
    // when it cannot be written or is the source itself.
    void NotImported(const RecordProblem& problem) override;

    const std::string& Path() const noexcept { return path_; }
    int32_t Records() const noexcept { return records_; }

private:
    void Write(const std::vector<std::string>& fields);

    std::string path_;
    std::string source_;
    std::vector<std::string> header_;
    bool hasHeader_;
    const RecordStore& rows_;
    char32_t delimiter_;
    std::string position_;
    std::size_t width_;  // the source's columns
    std::unique_ptr<File> file_;
    int32_t records_ = 0;
};

// The default path: the source's path with its extension (if any) replaced
// by ".rejects.csv".
std::string DefaultRejectsPath(const std::string& source);

}  // namespace pelmar
