#include "core/vcard_rejects.h"

#include <filesystem>

#include "common/file.h"
#include "core/text_file.h"
#include "core/vcard_lines.h"
#include "core/vcard_values.h"

namespace pelmar {
namespace {

constexpr std::size_t kFlushBytes = std::size_t{1} << 16;

}  // namespace

VcardRejectsFile::VcardRejectsFile(std::string path, std::string source)
        : path_(std::move(path)), source_(std::move(source)) {}

VcardRejectsFile::~VcardRejectsFile() = default;

std::string_view VcardRejectsFile::SourceLine(int32_t line) {
    if (!lines_ || lines_->Number() >= line) {
        lines_.reset();
        text_ = std::make_unique<TextFileReader>(source_);
        lines_ = std::make_unique<VcardLineReader>([text = text_.get()] { return text->ReadPiece(); });
    }
    std::string_view text;
    while (lines_->Number() < line)
        if (!lines_->Next(text)) break;
    if (lines_->Number() != line || CardBoundaryOf(text) != 1)
        throw Error(errnum::InputPastEndOfFile, "No card begins on line " + std::to_string(line) + " of " + source_);
    return text;
}

void VcardRejectsFile::NotImported(const RecordProblem& problem) {
    if (!file_) {
        if (SameFile(path_, source_))
            throw Error(errnum::PermissionDenied, "The rejects file " + path_ + " is the source file");
        // It holds people's names and numbers, as the .bad file does.
        file_ = std::make_unique<File>(path_, File::Mode::Output, FileAccess::OwnerOnly);
    }
    // The card's lines go as they are, judged property by property as the
    // reader judges them: an earlier reason is left out, and the card ends
    // at the END:VCARD of its own depth.
    VcardProperty head;
    std::string_view line = SourceLine(problem.line);
    PropertyStart start = StartProperty(line, head);
    bool endsInEquals = line.ends_with('=');
    bool dropping = false;  // the lines of an earlier X-PELMAR-REJECTED
    std::string card(line);
    card += "\r\n";
    int depth = 1;
    while (lines_->Next(line)) {
        if (JoinOf(start, endsInEquals, line) == LineJoin::None) {
            start = StartProperty(line, head);
            depth += start.boundary;
            if (depth == 0) break;
            dropping = depth == 1 && head.name == kRejectedProperty;
        }
        endsInEquals = line.ends_with('=');
        if (dropping) continue;
        card.append(line);
        card += "\r\n";
        // A card with a photo may be large: it goes out as it comes.
        if (card.size() >= kFlushBytes) {
            file_->Write(card);
            card.clear();
        }
    }
    // A card the end of the file cut short is closed, with any card nested in it.
    for (; depth > 1; --depth) card += "END:VCARD\r\n";
    AppendFolded(std::string(kRejectedProperty) + ":" +
                     EscapeText("line " + std::to_string(problem.line) + ": " + DescribeProblem(problem)),
                 card);
    card += "END:VCARD\r\n";
    file_->Write(card);
    ++records_;
}

std::string DefaultVcardRejectsPath(const std::string& source) {
    std::filesystem::path path(source);
    path.replace_extension();
    return path.string() + ".rejects.vcf";
}

}  // namespace pelmar
