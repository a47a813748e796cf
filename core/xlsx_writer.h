#pragma once
// The contacts as an xlsx workbook: one sheet, a bold and frozen header row
// of the twenty field names in the contact table's order, then one row per
// contact with every value as text, so that a spreadsheet never turns a
// phone number into a number or a date into a serial. Rows go to disk as
// they are added (the writer's constant-memory mode); the columns are as
// wide as the header and the first rows need.
#include <array>
#include <cstddef>
#include <span>
#include <string>

#include "core/contact_field.h"

struct lxw_workbook;
struct lxw_worksheet;
struct lxw_format;

namespace pelmar {

class XlsxWriter {
public:
    // Creates (or empties) `path`, readable by its owner alone as the other
    // exports are, and writes the header row. Throws when it cannot.
    explicit XlsxWriter(std::string path);
    // Finishes the file when Close was not called, ignoring a failure.
    ~XlsxWriter();
    XlsxWriter(const XlsxWriter&) = delete;
    XlsxWriter& operator=(const XlsxWriter&) = delete;

    // One contact: its twenty fields' texts, FirstName first. Throws when the
    // sheet cannot take it (more rows than a sheet has, a text longer than a
    // cell holds).
    void AddRow(std::span<const std::string, kContactFieldCount> fields);

    // Writes the workbook out; throws when it cannot.
    void Close();

    // The rows whose texts fit the columns' widths.
    static constexpr int kFittedRows = 100;

private:
    void Check(int error, const char* what) const;
    void Write(std::span<const std::string_view, kContactFieldCount> fields, bool bold);

    std::string path_;
    lxw_workbook* workbook_ = nullptr;
    lxw_worksheet* sheet_ = nullptr;
    lxw_format* bold_ = nullptr;  // the header's, owned by the workbook
    uint32_t row_ = 0;
    std::array<std::size_t, kContactFieldCount> widths_{};
};

}  // namespace pelmar
