#include "core/xlsx_writer.h"

#include <xlsxwriter.h>

#include <algorithm>
#include <utility>

#include "common/error.h"
#include "common/file.h"
#include "core/xlsx_values.h"

namespace pelmar {
namespace {

// Column widths, in characters of the default font.
constexpr std::size_t kNarrowest = 6;
constexpr std::size_t kWidest = 60;

}  // namespace

XlsxWriter::XlsxWriter(std::string path) : path_(std::move(path)) {
    // Created here with the owner's access alone: the writer opens the file
    // it finds, which keeps its mode.
    File(path_, File::Mode::Output, FileAccess::OwnerOnly).Close();
    lxw_workbook_options options{};
    options.constant_memory = LXW_TRUE;
    workbook_ = workbook_new_opt(path_.c_str(), &options);
    if (!workbook_) throw Error(errnum::PathFileAccessError, "Cannot write the workbook " + path_);
    sheet_ = workbook_add_worksheet(workbook_, nullptr);
    bold_ = workbook_add_format(workbook_);
    if (!sheet_ || !bold_) {
        workbook_close(workbook_);
        throw Error(errnum::PathFileAccessError, "Cannot write the workbook " + path_);
    }
    format_set_bold(bold_);
    worksheet_freeze_panes(sheet_, 1, 0);
    std::array<std::string_view, kContactFieldCount> names;
    std::ranges::copy(kContactFieldNames, names.begin());
    Write(names, true);
}

XlsxWriter::~XlsxWriter() {
    if (workbook_) workbook_close(workbook_);
}

void XlsxWriter::AddRow(std::span<const std::string, kContactFieldCount> fields) {
    std::array<std::string_view, kContactFieldCount> texts;
    std::ranges::copy(fields, texts.begin());
    Write(texts, false);
}

void XlsxWriter::Write(std::span<const std::string_view, kContactFieldCount> fields, bool bold) {
    if (!workbook_) throw Error(errnum::InvalidProcedureCall, "Invalid procedure call or argument");
    for (std::size_t column = 0; column < fields.size(); ++column) {
        // The writer stores control characters as escapes but leaves text
        // that looks like one as it is, which a reader would then decode.
        const std::string text = xlsx::EncodeEscapes(fields[column]);
        if (text.empty()) continue;
        Check(
            worksheet_write_string(sheet_, row_, static_cast<lxw_col_t>(column), text.c_str(), bold ? bold_ : nullptr),
            "a cell");
        if (row_ <= kFittedRows) widths_[column] = std::max(widths_[column], xlsx::CountChars(fields[column]));
    }
    ++row_;
}

void XlsxWriter::Close() {
    for (std::size_t column = 0; column < widths_.size(); ++column) {
        const double width = static_cast<double>(std::clamp(widths_[column] + 2, kNarrowest, kWidest));
        const auto col = static_cast<lxw_col_t>(column);
        Check(worksheet_set_column(sheet_, col, col, width, nullptr), "the column widths");
    }
    lxw_workbook* workbook = std::exchange(workbook_, nullptr);
    Check(workbook_close(workbook), "the file");
}

void XlsxWriter::Check(int error, const char* what) const {
    if (error != LXW_NO_ERROR)
        throw Error(errnum::PathFileAccessError, "Cannot write " + std::string(what) + " of the workbook " + path_ +
                                                     ": " + lxw_strerror(static_cast<lxw_error>(error)));
}

}  // namespace pelmar
