#include "core/rejects_file.h"

#include <algorithm>
#include <filesystem>

#include "common/file.h"
#include "core/csv_reader.h"

namespace pelmar {

RejectsFile::RejectsFile(std::string path, std::string source, const std::vector<std::string>& header, bool hasHeader,
                         const RecordStore& rows, char32_t delimiter, std::string position)
        : path_(std::move(path)),
          source_(std::move(source)),
          header_(header),
          hasHeader_(hasHeader),
          rows_(rows),
          delimiter_(delimiter),
          position_(std::move(position)),
          width_(std::max(header.size(), static_cast<std::size_t>(std::max(rows.ColumnCount(), 0)))) {}

RejectsFile::~RejectsFile() = default;

void RejectsFile::NotImported(const RecordProblem& problem) {
    if (!file_) {
        if (SameFile(path_, source_))
            throw Error(errnum::PermissionDenied, "The rejects file " + path_ + " is the source file");
        // It holds people's names and numbers, as the .bad file does.
        file_ = std::make_unique<File>(path_, File::Mode::Output, FileAccess::OwnerOnly);
        if (hasHeader_) {
            std::vector<std::string> names = header_;
            names.resize(width_);
            names.insert(names.end(), {position_, "Reason"});
            Write(names);
        }
    }
    std::vector<std::string> fields;
    const int32_t row = problem.recordNumber;
    if (row >= 1 && row <= rows_.RowCount()) {
        fields.emplace_back(rows_.RowText(row));
        for (int32_t i = 1; i <= rows_.SubItemCount(row); ++i) fields.emplace_back(rows_.SubItem(row, i));
    }
    fields.resize(std::max(fields.size(), width_));
    fields.insert(fields.end(), {std::to_string(problem.line), DescribeProblem(problem)});
    Write(fields);
    ++records_;
}

void RejectsFile::Write(const std::vector<std::string>& fields) { file_->Write(CsvLine(fields, delimiter_) + "\r\n"); }

std::string DefaultRejectsPath(const std::string& source) {
    std::filesystem::path path(source);
    path.replace_extension();
    return path.string() + ".rejects.csv";
}

}  // namespace pelmar
