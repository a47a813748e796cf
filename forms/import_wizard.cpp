#include "forms/import_wizard.h"

#include "common/general.h"
#include "common/text.h"
#include "common/ui.h"
#include "core/normalise.h"
#include "core/phone_region.h"
#include "core/rejects_file.h"
#include "db/connection.h"
#include "forms/field_lookup.h"
#include "forms/import_file.h"
#include "forms/picker_dialog.h"
#include "forms/standard_source.h"
#include "forms/wizard_observer.h"
#include "session/session_state.h"

namespace pelmar {

namespace {

constexpr int32_t kKeyUp = 38;
constexpr int32_t kKeyDown = 40;

// Where a destination goes when the user chose none: the top of the address
// book this host runs against. A host that runs neither at a client nor at
// the server keeps the kind it had.
void SetTopLevelDestination(const char* text, ImportForm& form) {
    SessionState& session = form.session;
    form.controls.txtImportto = text;
    session.ImportToID = "0";
    if (session.RunAt == RuntAtClient)
        session.ImportTo = LocalFolder;
    else if (session.RunAt == RuntAtServer)
        session.ImportTo = SharedFolder;
}

// The connection the destination selects: the remote one for the shared
// book, the local one for the user's own.
db::Connection* DestinationConnection(const SessionState& session, const Destination& destination) {
    return (destination.IsLocal() ? session.LocalConnection : session.RemoteConnection).get();
}

}  // namespace

void DecodeDestinationKey(const std::string& key, ImportToType& importTo, std::string& importToID) {
    const std::string prefix = Left(key, 4);
    if (prefix == "LFLD")
        importTo = LocalFolder;
    else if (prefix == "LCGR")
        importTo = LocalGroup;
    else if (prefix == "SFLD")
        importTo = SharedFolder;
    else if (prefix == "SHGR")
        importTo = SharedGroup;
    importToID = Trim(Mid(key, 5));
}

namespace {

// The phone region box's region: its text as a region, calling code or name,
// or the two letters an item of its list begins with.
RegionLookup PhoneRegionOf(const std::string& text) {
    const std::string trimmed = TrimValue(text);
    if (trimmed.empty()) return {};
    RegionLookup region = ResolveRegion(trimmed);
    if (!region && trimmed.size() > 3 && trimmed[2] == ' ') region = ResolveRegion(trimmed.substr(0, 2));
    return region;
}

}  // namespace

void ImportWizard::Load() {
    ImportControls& controls = form_.controls;
    controls.spnPollingMin = 1;
    controls.txtStartFromRow = "1";
    controls.lblPreview.clear();

    SessionState& session = form_.session;
    if (RequiredConnection(session.RemoteConnection).State() == db::adStateClosed)
        session.RemoteConnection->Open(session.RemoteDBString);
    if (session.RunAt == RuntAtClient) RequiredConnection(session.LocalConnection).Open();

    if (session.RunAt == RuntAtClient) {
        controls.txtImportto = "Local Contacts";
        session.ImportTo = LocalFolder;
    } else if (session.RunAt == RuntAtServer) {
        controls.txtImportto = "Shared Contacts";
        session.ImportTo = SharedFolder;
    }
    session.ImportToID = "0";
}

NextResult ImportWizard::Refuse(const char* message, ImportControl focus) {
    ShowNotification(message, msgbox::Exclamation);
    form_.controls.ActiveControl = focus;
    return {.outcome = NextResult::Outcome::Refused, .reason = message};
}

NextResult ImportWizard::Next() {
    ImportControls& controls = form_.controls;
    if (Trim(controls.txtLocation).empty()) return Refuse("Please Select Source File.", ImportControl::txtLocation);
    if (controls.txtOtherVisible && Trim(controls.txtOther).empty())
        return Refuse("Please enter the delimeter.", ImportControl::txtOther);
    // Blanks only: the preview may be the whole file, so it is not copied.
    if (controls.rtfPreview.View().find_first_not_of(' ') == std::string_view::npos)
        return Refuse("Source file does not contain any record to import.", ImportControl::txtLocation);
    if (LeadingNumber(controls.txtStartFromRow) == 0)
        return Refuse("Please enter valid row no.", ImportControl::txtStartFromRow);
    if (controls.chkStandardCsv && !TrimValue(controls.cboPhoneRegion).empty() &&
        !PhoneRegionOf(controls.cboPhoneRegion))
        return Refuse("The phone region is not a region: choose one from the list, or leave the box empty.",
                      ImportControl::cboPhoneRegion);

    if (controls.txtImportto.empty()) SetTopLevelDestination("Main", form_);
    controls.ProgressBar1.SetVisible(false);
    controls.fraSecondVisible = true;
    if (form_.Repaint) form_.Repaint();
    // Entering page 2 always starts from an unmapped table: a mapping made for
    // an earlier listing may not fit this one.
    form_.session.ColumnMap.Reset();
    form_.vars.MobilePrefix = Trim(controls.txtPrefix);
    controls.ProgressBar1.SetVisible(false);
    ImportFile(form_);
    return {.outcome = NextResult::Outcome::Listed, .reason = {}, .records = form_.lvwContacts.RowCount()};
}

void ImportWizard::Previous() { form_.controls.fraSecondVisible = false; }

FinishResult ImportWizard::Finish() {
    SessionState& session = form_.session;
    const Destination destination{session.ImportTo, ParseDestinationId(session.ImportToID)};
    // The standard CSV format maps by the header when nothing was mapped,
    // and writes every record it does not import to the rejects file.
    std::optional<StandardRejects> rejects;
    ImportOptions options = form_.RunOptions;
    if (form_.controls.chkStandardCsv) {
        if (form_.CsvHasHeader && !ColumnMapping::Resolve(session.ColumnMap).NamesAnyField())
            SetHeaderMapping(session.ColumnMap, form_.CsvHeader);
        rejects.emplace(form_);
        options.rejects = &rejects->Sink();
        if (form_.controls.chkSkipDuplicates) options.duplicates = DuplicatePolicy::Skip;
        if (const RegionLookup region = PhoneRegionOf(form_.controls.cboPhoneRegion)) {
            options.parsePhones = true;
            options.phoneRegion = region.region;
            options.mobileOnly = form_.controls.chkMobileOnly;
        }
    }
    const ImportJob job{
        .records = &form_.lvwContacts,
        .mapping = ColumnMapping::Resolve(session.ColumnMap),
        .destination = destination,
        .userId = session.UserID,
        .prefix = {form_.vars.MobilePrefix, form_.vars.OnlyIfNotPresent},
        .delimiter = form_.vars.Delimiter,
        // The host's database type decides, once a run; without a logger
        // no line of the run can be written anyway.
        .nameText = session.Logger ? NameTextFor(session.Logger->DatabaseType()) : NameText::Wide,
        .options = options,
    };
    WizardObserver observer(form_);
    const int32_t badLinesBefore = form_.BadLinesWritten;
    FinishResult finish;
    finish.run = RunImport(job, DestinationConnection(session, destination), observer);
    finish.logFile = form_.vars.ImportLogFile;
    finish.badFile = form_.vars.BadFile;
    finish.badLines = form_.BadLinesWritten - badLinesBefore;
    const ImportResult& run = finish.run;
    if (run.DefaultMappingApplied) SetDefaultMapping(session.ColumnMap);
    if (rejects) {
        finish.rejectsFile = form_.RejectsFile;
        finish.rejectsWritten = rejects->Records();
    }
    form_.RejectsWritten = finish.rejectsWritten;
    if (!run.Started)
        finish.outcome = FinishResult::Outcome::NotStarted;
    else if (run.StoppedBefore > 0)
        finish.outcome = FinishResult::Outcome::Interrupted;
    else
        finish.outcome =
            run.Counts.HadErrors ? FinishResult::Outcome::CompletedWithErrors : FinishResult::Outcome::Completed;
    return finish;
}

void ImportWizard::Unload() {
    SessionState& session = form_.session;
    if (session.RemoteConnection) session.RemoteConnection->Close();
    if (session.RunAt == RuntAtClient && session.LocalConnection) session.LocalConnection->Close();
}

void ImportWizard::ApplyPickerResult(const SelectFolderDialog& picker) {
    if (!picker.selected) return;
    form_.controls.txtImportto = picker.SelectedNodeText;
    DecodeDestinationKey(picker.SelectedNodeKey, form_.session.ImportTo, form_.session.ImportToID);
}

void ImportWizard::ChkPresentClick(bool checked) {
    form_.controls.chkPresent = checked;
    form_.vars.OnlyIfNotPresent = checked;
}

void ImportWizard::StandardCsvClick(bool checked) {
    ImportControls& controls = form_.controls;
    controls.chkStandardCsv = checked;
    form_.RunOptions.normalise = checked;
    if (!checked || controls.phoneRegionOffered) return;
    controls.phoneRegionOffered = true;
    // A locale of no region, or of one without a plan, offers nothing.
    if (controls.cboPhoneRegion.empty() && form_.LocaleRegion.size() == 2 && ResolveRegion(form_.LocaleRegion))
        controls.cboPhoneRegion = form_.LocaleRegion;
}

void ImportWizard::DelimiterOptionClick(int32_t index) {
    form_.controls.optDelimeter = index;
    form_.controls.txtOtherVisible = index == DelimiterOther;
}

bool ImportWizard::StartRowKeyPress(int16_t keyAscii) { return IsNumericKey(keyAscii, true, true); }

void ImportWizard::StartRowKeyDown(int32_t keyCode) {
    ImportControls& controls = form_.controls;
    if (keyCode != kKeyUp && keyCode != kKeyDown) return;
    // The box is read strictly here: an empty box or one without a number
    // leaves the arrows without effect.
    if (!IsNumeric(controls.txtStartFromRow)) return;
    const int64_t row = ToInt32(controls.txtStartFromRow);
    if (keyCode == kKeyUp && row + 1 <= controls.spnPollingMax) controls.txtStartFromRow = std::to_string(row + 1);
    if (keyCode == kKeyDown && row - 1 >= controls.spnPollingMin) controls.txtStartFromRow = std::to_string(row - 1);
}

void ImportWizard::SkipDuplicatesClick(bool checked) { form_.controls.chkSkipDuplicates = checked; }

void ImportWizard::PhoneRegionChange(const std::string& text) { form_.controls.cboPhoneRegion = text; }

void ImportWizard::MobileOnlyClick(bool checked) { form_.controls.chkMobileOnly = checked; }

}  // namespace pelmar
