#include "core/export_run.h"

#include <optional>
#include <span>
#include <string>

#include "common/clock.h"
#include "common/error.h"
#include "common/general.h"
#include "common/ui.h"
#include "core/contact_schema.h"
#include "core/csv_reader.h"
#include "core/vcard_writer.h"
#include "core/xlsx_writer.h"
#include "db/connection.h"
#include "db/recordset.h"

namespace pelmar {

namespace {

// The fields of a comma-separated line: the first eight, as its query
// selects them.
constexpr std::size_t kQuotedFieldCount = 8;

const std::string kFrameLine(50, '=');

// One run of ExportFile. Every step goes through Step(): a step that fails is
// logged by Failed() and the run carries on with the step after it, so a
// destination that stops accepting lines costs those lines, not the run.
class ExportRun {
public:
    ExportRun(const ExportJob& job, db::Connection* connection, ExportObserver& observer)
            : job_(job), connection_(connection), observer_(observer) {}

    ExportSummary Run() {
        Step([&] { MousePointer(true); });
        Step([&] { OpenQuery(); });
        counter_ = 0;
        // A result that cannot tell whether it has rows has nothing to export.
        if (Test([&] { return rs_.Eof() || rs_.Bof(); }, true)) {
            Step([&] { MousePointer(false); });
            Step([&] { observer_.ShowMessage("No Contacts to Export.", msgbox::Exclamation); });
            summary_.NoContacts = true;
        } else {
            ExportRows();
        }
        Step([&] { observer_.Progress().SetVisible(false); });
        Step([&] { observer_.Finished(); });
        summary_.Errors = errorFlag_;
        summary_.Count = counter_;
        return summary_;
    }

private:
    void ExportRows() {
        ProgressBar& progress = observer_.Progress();
        Step([&] { progress.SetVisible(true); });
        Step([&] { progress.SetMax(rs_.RecordCount()); });
        Step([&] { progress.SetMin(0); });
        Step([&] { progress.SetValue(0); });
        Step([&] { rs_.MoveFirst(); });
        Step([&] { Log(kFrameLine); });
        Step([&] { Log("PelmarImpExp: Export Destination :" + job_.destinationFile); });
        Step([&] { Log("PelmarImpExp: Export started at  :" + NowDateTime()); });
        if (Csv()) Step([&] { AppendLine(job_.outputFile, CsvHeader(), FileAccess::OwnerOnly); });
        if (job_.format == ExportFormat::Xlsx) Step([&] { sheet_.emplace(job_.outputFile); });

        while (Test([&] { return !rs_.Eof(); }, false)) {
            if (job_.stop && job_.stop->load()) {
                summary_.Interrupted = true;
                break;
            }
            if (Csv()) {
                Step([&] { line_ = CsvRow(); });
            } else if (Card()) {
                Step([&] { line_ = CardText(); });
            } else if (job_.format == ExportFormat::Xlsx) {
                Step([&] { SheetRow(); });
            } else {
                for (std::size_t i = 0; i < kQuotedFieldCount; ++i) {
                    // A field that cannot be read leaves the previous field's text.
                    Step([&] { field_ = QuotedField(rs_.Field(ColumnOf(kFileFieldOrder[i]).name)); });
                    Step([&] { line_ += field_ + ","; });
                }
                Step([&] { DropFinalComma(); });
            }
            if (job_.format != ExportFormat::Xlsx)
                Step([&] { AppendLine(job_.outputFile, line_, FileAccess::OwnerOnly); });
            line_.clear();
            Step([&] { progress.Step(); });
            ++counter_;
            // A cursor that cannot move on would never reach its end.
            if (!Step([&] { rs_.MoveNext(); })) break;
        }

        if (job_.format == ExportFormat::Xlsx) Step([&] { Required(sheet_).Close(); });
        if (summary_.Interrupted)
            Step([&] {
                Log("PelmarImpExp: Export stopped by an interrupt after " + std::to_string(counter_) + " records.");
            });
        Step([&] { Log("PelmarImpExp: " + std::to_string(counter_) + " records exported successfully."); });
        Step([&] { Log("PelmarImpExp: Export completed at  :" + NowDateTime()); });
        Step([&] { Log(kFrameLine); });
        Step([&] { Log(""); });
        Step([&] { MousePointer(false); });
        if (errorFlag_) {
            Step([&] {
                observer_.ShowMessage(
                    "Contacts export has completed with errors.\r\nPlease view Export Log for details.",
                    msgbox::Exclamation);
            });
        } else {
            Step([&] {
                observer_.ShowMessage("Contacts successfully exported to '" + job_.destinationFile +
                                          "'.\r\nPlease view Export Log for details.",
                                      msgbox::Exclamation);
            });
        }
    }

    bool Csv() const { return job_.format == ExportFormat::Csv; }
    bool Card() const { return job_.format == ExportFormat::Vcard4 || job_.format == ExportFormat::Vcard3; }
    // The formats of all twenty fields read them with the same query.
    bool AllFields() const { return job_.format != ExportFormat::Quoted8; }

    // Every column, oldest contact first, so that a file of the same book
    // is the same file.
    void OpenQuery() {
        if (AllFields()) {
            const std::string owner =
                job_.runAt == RuntAtClient
                    ? " WHERE " + std::string(ColumnFor(ColumnSource::Owner).name) + "=" + std::to_string(job_.userId)
                    : std::string();
            if (job_.runAt == RuntAtClient || job_.runAt == RuntAtServer)
                Open("SELECT " + ColumnList(FileColumns()) + " FROM SMS_ABCONTACTS" + owner + " ORDER BY ID");
            return;
        }
        if (job_.runAt == RuntAtClient) {
            Open(
                "SELECT FNAME,MNAME,LNAME,EMAIL,ADDRESS,MOBILENO,ORGANISATION , SEX FROM "
                " SMS_ABCONTACTS WHERE USER_ID=" +
                std::to_string(job_.userId));
        } else if (job_.runAt == RuntAtServer) {
            Open(
                "SELECT FNAME,MNAME,LNAME,EMAIL,ADDRESS,MOBILENO,ORGANISATION ,SEX FROM "
                " SMS_ABCONTACTS ");
        }
        // Any other RunAt opens nothing; the end test below then fails.
    }

    void Open(const std::string& sql) {
        rs_.SetCursorLocation(db::adUseClient);
        rs_.Open(sql, db::Required(connection_), db::adOpenDynamic, db::adLockOptimistic, -1);
    }

    static bool IsPhoneField(ContactField field) {
        using F = ContactField;
        return field == F::MobileNumber || field == F::HomePhone || field == F::OfficePhone || field == F::Fax;
    }

    // Kept on purpose: docs/behaviour.md#the-export-without-escaping
    static std::string QuotedField(const db::Value& value) {
        const std::string text = db::NullToText(value, "");
        return text.empty() ? std::string() : "\"" + text + "\"";
    }

    static std::string CsvHeader() {
        std::vector<std::string> names;
        names.reserve(std::size(kFileFieldOrder));
        for (const ContactField field : kFileFieldOrder) names.emplace_back(FieldName(field));
        return CsvLine(names, U',');
    }

    std::vector<std::string> Fields() {
        std::vector<std::string> fields;
        fields.reserve(std::size(kFileFieldOrder));
        for (const ContactField field : kFileFieldOrder) {
            fields.push_back(db::NullToText(rs_.Field(ColumnOf(field).name), ""));
            if (job_.numbers.format && IsPhoneField(field) && !fields.back().empty())
                fields.back() = FormatPhone(fields.back(), job_.numbers.region, *job_.numbers.format);
        }
        return fields;
    }

    std::string CsvRow() { return CsvLine(Fields(), U','); }

    // The card less its last line end, which the line's writing adds.
    std::string CardText() {
        std::string card =
            VcardOf(Fields(), job_.format == ExportFormat::Vcard3 ? VcardVersion::V3_0 : VcardVersion::V4_0);
        if (card.ends_with("\r\n")) card.resize(card.size() - 2);
        return card;
    }

    void SheetRow() {
        const std::vector<std::string> fields = Fields();
        Required(sheet_).AddRow(std::span<const std::string, kContactFieldCount>(fields.data(), kContactFieldCount));
    }

    // The workbook is made with the header's step; a failed one fails each row.
    static XlsxWriter& Required(std::optional<XlsxWriter>& sheet) {
        if (!sheet) throw Error(errnum::InvalidProcedureCall, "Invalid procedure call or argument");
        return *sheet;
    }

    void DropFinalComma() {
        if (line_.empty()) throw Error(errnum::InvalidProcedureCall, "Invalid procedure call or argument");
        line_.pop_back();
    }

    void MousePointer(bool busy) { observer_.SetBusy(busy); }

    void Log(const std::string& message) { observer_.Log(message); }

    // Runs one step; true when it did not fail.
    template <typename F>
    bool Step(F&& step) {
        try {
            step();
            return true;
        } catch (...) {
            Failed(CurrentErrorInfo());
        }
        return false;
    }

    // A test that fails is logged like any step and counts as `onFailure`.
    template <typename F>
    bool Test(F&& test, bool onFailure) {
        bool result = onFailure;
        Step([&] { result = test(); });
        return result;
    }

    void Failed(const ErrorInfo& error) {
        Log(line_);
        Log("\tPelmarImpExp: Error No :" + std::to_string(error.Number));
        Log("\tPelmarImpExp: Error Desc :" + error.Description);
        --counter_;
        errorFlag_ = true;
    }

    const ExportJob& job_;
    db::Connection* connection_;
    ExportObserver& observer_;
    db::Recordset rs_;
    int32_t counter_ = 0;
    std::string line_;
    std::string field_;
    std::optional<XlsxWriter> sheet_;
    bool errorFlag_ = false;
    ExportSummary summary_;
};

}  // namespace

ExportSummary RunExport(const ExportJob& job, db::Connection* connection, ExportObserver& observer) {
    return ExportRun(job, connection, observer).Run();
}

}  // namespace pelmar
