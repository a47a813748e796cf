#include "gui/import_wizard_window.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTableView>
#include <QVBoxLayout>

#include "common/text.h"
#include "component/component_folder.h"
#include "core/phone_region.h"
#include "forms/source_check.h"
#include "forms/standard_source.h"
#include "forms/window_additions.h"
#include "gui/access_keys.h"
#include "gui/file_chooser.h"
#include "gui/file_drop.h"
#include "gui/focus_validation.h"
#include "gui/key_filter.h"
#include "gui/mapping_window.h"
#include "gui/picker_window.h"
#include "gui/progress_link.h"
#include "gui/record_store_model.h"
#include "gui/text_preview.h"
#include "gui/up_down.h"

namespace pelmar::gui {
namespace {

constexpr const char* kFirstStep =
    "This is the first step of importing contacts from a delimited text file. Please specify the location of the "
    "source file, specify the delimiter, select from which row of the source file the import should be done and "
    "then press the 'Next' button to proceed.";
constexpr const char* kSecondStep =
    "This screen lets you preview how the imported data will look like, according to the import parameters you "
    "have set in the previous screen. Each contact that would be imported, is indicated by a row in the list. "
    "Please have a look at the list before you press the 'Finish' button. After you press the 'Finish' button all "
    "the items shown in the list will be imported to your contact list.";
constexpr std::array kDelimiterCaptions = {"Comma", "Tab", "Semicolon", "Space", "Other"};
// The list's columns start at this share of its width.
constexpr double kColumnShare = 0.3;

QString Text(const std::string& text) { return QString::fromStdString(text); }

// Writes a box only when its text differs, so that the caret stays put.
void Show(QLineEdit& box, const std::string& text) {
    const QString shown = Text(text);
    if (box.text() != shown) box.setText(shown);
}

QLabel* WrappedLabel(const char* name, const char* text) {
    auto* label = Named(name, new QLabel(QString::fromLatin1(text)));
    label->setWordWrap(true);
    return label;
}

// Wide enough for `chars` digits or letters.
void FitChars(QLineEdit& box, int chars) {
    box.setFixedWidth(box.fontMetrics().horizontalAdvance(QString(chars + 2, QLatin1Char('W'))));
}

// A page of the wizard: its frame over a row of buttons, `left` ones at the
// left edge and `right` ones at the right.
QWidget* Page(QWidget* frame, std::initializer_list<QPushButton*> left, std::initializer_list<QPushButton*> right) {
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : left) buttons->addWidget(button);
    buttons->addStretch();
    for (QPushButton* button : right) buttons->addWidget(button);
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(frame, 1);
    layout->addLayout(buttons);
    return page;
}

}  // namespace

ImportWizardWindow::ImportWizardWindow(ImportForm& form, QWidget* parent)
        : FormWindow(WindowKind::Import, parent),
          form_(form),
          wizard_(form),
          picker_(form.session),
          validation_(new FocusValidation(*this)),
          listModel_(new RecordStoreModel(form.lvwContacts, this)) {
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import Contacts"));
    auto* pages = new QStackedWidget;
    pages->addWidget(page1_ = BuildFirstPage());
    pages->addWidget(page2_ = BuildSecondPage());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages);
    resize(640, 540);
    Connect();
    MoveFocusOnAccessKeys(*this);

    form_.SetBusyPointer = [this](bool busy) { busy_.Set(busy); };
    form_.LocaleRegion = QLocale::territoryToCode(QLocale::system().territory()).toStdString();
    form_.Repaint = [this] {
        Sync();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    Link(form_.controls.ProgressBar1, *ProgressBar1_);

    wizard_.Load();
    Sync();
    txtLocation_->setFocus();
}

ImportWizardWindow::~ImportWizardWindow() {
    Unlink(form_.controls.ProgressBar1);
    form_.SetBusyPointer = nullptr;
    form_.Repaint = nullptr;
}

QWidget* ImportWizardWindow::BuildFirstPage() {
    fraFirst_ = Named("fraFirst", new QGroupBox(QStringLiteral(" Select Source File ")));
    txtLocation_ = Named("txtLocation", new QLineEdit);
    cmdBrowse_ = Named("cmdBrowse", new QPushButton(QStringLiteral("&Browse...")));
    auto* delimiters = new QButtonGroup(this);
    auto* delimiterRow = new QHBoxLayout;
    for (int i = 0; i < static_cast<int>(kDelimiterCaptions.size()); ++i) {
        auto* option = Named("optDelimeter", new QRadioButton(QString::fromLatin1(kDelimiterCaptions[i])));
        option->setProperty("index", i);
        delimiters->addButton(option, i);
        delimiterRow->addWidget(option);
        optDelimeter_[static_cast<std::size_t>(i)] = option;
    }
    connect(delimiters, &QButtonGroup::idClicked, this, [this](int i) { Handle([&] { DelimiterClicked(i); }); });
    txtOther_ = Named("txtOther", new QLineEdit);
    txtOther_->setMaxLength(1);
    FitChars(*txtOther_, 1);
    delimiterRow->addWidget(txtOther_);
    delimiterRow->addStretch();

    txtStartFromRow_ = Named("txtStartFromRow", new QLineEdit);
    txtStartFromRow_->setMaxLength(4);
    txtStartFromRow_->setContextMenuPolicy(Qt::NoContextMenu);  // paste only through the key filter
    FitChars(*txtStartFromRow_, 4);
    spnPolling_ = Named("spnPolling", new UpDown);
    auto* startRow = new QHBoxLayout;
    startRow->setSpacing(0);
    startRow->addWidget(txtStartFromRow_);
    startRow->addWidget(spnPolling_);
    startRow->addStretch();

    txtImportto_ = Named("txtImportto", new QLineEdit);
    txtImportto_->setReadOnly(true);
    txtImportto_->setFocusPolicy(Qt::NoFocus);
    cmdImportto_ = Named("cmdImportto", new QPushButton(QStringLiteral("&Select...")));
    txtPrefix_ = Named("txtPrefix", new QLineEdit);
    txtPrefix_->setMaxLength(7);
    FitChars(*txtPrefix_, 7);
    chkPresent_ = Named("chkPresent", new QCheckBox(QStringLiteral("Only if not present")));
    auto* prefixRow = new QHBoxLayout;
    prefixRow->addWidget(txtPrefix_);
    prefixRow->addSpacing(12);
    prefixRow->addWidget(chkPresent_);
    prefixRow->addStretch();
    // Our own addition, off by default: files from other programs.
    chkStandardCsv_ = Named("chkStandardCsv",
                            new QCheckBox(QStringLiteral("Standard CSV (header row, quoted fields, any line ends)")));
    chkSkipDuplicates_ =
        Named("chkSkipDuplicates", new QCheckBox(QStringLiteral("Skip contacts already in the destination")));
    cboPhoneRegion_ = Named("cboPhoneRegion", new QComboBox);
    cboPhoneRegion_->setEditable(true);
    cboPhoneRegion_->setInsertPolicy(QComboBox::NoInsert);
    cboPhoneRegion_->addItem(QString());  // empty: numbers are not checked
    for (const auto& [code, name] : RegionNames()) cboPhoneRegion_->addItem(Text(code + " " + name));
    cboPhoneRegion_->setMinimumContentsLength(16);
    cboPhoneRegion_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    lblPhoneRegion_ = Named("lblPhoneRegion", new QLabel(QStringLiteral("P&hone region")));
    lblPhoneRegion_->setBuddy(cboPhoneRegion_);
    chkMobileOnly_ = Named("chkMobileOnly", new QCheckBox(QStringLiteral("Mobile numbers &only")));
    lblLineEnds_ = Named("lblLineEnds", new QLabel);
    lblLineEnds_->setWordWrap(true);  // a narrow window keeps its width
    QSizePolicy keepRoom = lblLineEnds_->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    lblLineEnds_->setSizePolicy(keepRoom);

    lblPreview_ = Named("lblPreview", new QLabel);
    lblPreview_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    rtfPreview_ = Named("rtfPreview", new TextPreview);

    auto* grid = new QGridLayout;
    grid->addWidget(Named("Label1", new QLabel(QStringLiteral("File Location"))), 0, 0);
    grid->addWidget(txtLocation_, 0, 1);
    grid->addWidget(cmdBrowse_, 0, 2);
    grid->addWidget(Named("Label5", new QLabel(QStringLiteral("Delimited by"))), 1, 0);
    grid->addLayout(delimiterRow, 1, 1, 1, 2);
    grid->addWidget(Named("Label3", new QLabel(QStringLiteral("Start from row"))), 2, 0);
    grid->addLayout(startRow, 2, 1, 1, 2);
    grid->addWidget(Named("Label8", new QLabel(QStringLiteral("Group / Folder"))), 3, 0);
    grid->addWidget(txtImportto_, 3, 1);
    grid->addWidget(cmdImportto_, 3, 2);
    grid->addWidget(Named("Label7", new QLabel(QStringLiteral("Add prefix to mobile numbers"))), 4, 0);
    grid->addLayout(prefixRow, 4, 1, 1, 2);
    grid->addWidget(chkStandardCsv_, 5, 1, 1, 2);
    auto* standardRow = new QHBoxLayout;
    standardRow->addSpacing(20);  // under the box it belongs to
    standardRow->addWidget(chkSkipDuplicates_);
    standardRow->addStretch();
    grid->addLayout(standardRow, 6, 1, 1, 2);
    auto* phoneRow = new QHBoxLayout;
    phoneRow->addSpacing(20);
    phoneRow->addWidget(lblPhoneRegion_);
    phoneRow->addWidget(cboPhoneRegion_);
    phoneRow->addSpacing(12);
    phoneRow->addWidget(chkMobileOnly_);
    phoneRow->addStretch();
    grid->addLayout(phoneRow, 7, 1, 1, 2);
    grid->addWidget(lblLineEnds_, 8, 0, 1, 3);  // the page's width: one line

    auto* frame = new QVBoxLayout(fraFirst_);
    frame->addWidget(WrappedLabel("Label2", kFirstStep));
    frame->addLayout(grid);
    frame->addWidget(lblPreview_);
    frame->addWidget(rtfPreview_, 1);

    cmdNext_ = Named("cmdNext", new QPushButton(QStringLiteral("&Next >>")));
    cmdCancel_ = Named("cmdCancel", new QPushButton(QStringLiteral("&Cancel")));
    return Page(fraFirst_, {}, {cmdNext_, cmdCancel_});
}

QWidget* ImportWizardWindow::BuildSecondPage() {
    fraSecond_ = Named("fraSecond", new QGroupBox(QStringLiteral(" Preview Imported Contacts ")));
    lvwContacts_ = Named("lvwContacts", new QTableView);
    lvwContacts_->setModel(listModel_);
    lvwContacts_->setShowGrid(false);
    lvwContacts_->setWordWrap(false);
    lvwContacts_->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvwContacts_->setSelectionMode(QAbstractItemView::SingleSelection);
    lvwContacts_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvwContacts_->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    lvwContacts_->horizontalHeader()->setHighlightSections(false);
    // Rows of one height need no per-row bookkeeping, however many there are.
    QHeaderView* rows = lvwContacts_->verticalHeader();
    rows->hide();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setDefaultSectionSize(lvwContacts_->fontMetrics().height() + 4);
    ProgressBar1_ = Named("ProgressBar1", new QProgressBar);
    QSizePolicy keepRoom = ProgressBar1_->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    ProgressBar1_->setSizePolicy(keepRoom);
    ProgressBar1_->hide();

    auto* frame = new QVBoxLayout(fraSecond_);
    frame->addWidget(WrappedLabel("Label6", kSecondStep));
    frame->addWidget(lvwContacts_, 1);
    frame->addWidget(ProgressBar1_);

    cmdMapping_ = Named("cmdMapping", new QPushButton(QStringLiteral("Change &Mapping")));
    cmdPrev_ = Named("cmdPrev", new QPushButton(QStringLiteral("<< &Previous")));
    cmdFinish_ = Named("cmdFinish", new QPushButton(QStringLiteral("&Finish")));
    cmdClose_ = Named("cmdClose", new QPushButton(QStringLiteral("&Close")));
    return Page(fraSecond_, {cmdMapping_}, {cmdPrev_, cmdFinish_, cmdClose_});
}

void ImportWizardWindow::Connect() {
    // Leaving the location box for a control that causes validation checks
    // the file; Cancel and Close leave without a check.
    validation_->Watch(*txtLocation_, [this] {
        bool passed = true;
        Handle([&] { passed = ValidateLocation(); });
        return passed;
    });
    FocusValidation::SetCausesValidation(*cmdCancel_, false);
    FocusValidation::SetCausesValidation(*cmdClose_, false);
    EnterAsTab(*txtLocation_);
    OnKeyPress(*txtStartFromRow_, [this](const QKeyEvent& key) {
        bool swallowed = false;
        Handle([&] { swallowed = StartRowKey(key); });
        return swallowed;
    });

    connect(txtLocation_, &QLineEdit::textEdited, this, [this](const QString& text) {
        Handle([&] {
            SourceLocationChanged(form_, text.toStdString());
            Sync();
        });
    });
    connect(txtOther_, &QLineEdit::textEdited, this,
            [this](const QString& text) { form_.controls.txtOther = text.toStdString(); });
    connect(txtStartFromRow_, &QLineEdit::textEdited, this, [this](const QString& text) {
        form_.controls.txtStartFromRow = text.toStdString();
        Sync();
    });
    connect(txtPrefix_, &QLineEdit::textEdited, this,
            [this](const QString& text) { form_.controls.txtPrefix = text.toStdString(); });
    connect(spnPolling_, &UpDown::Stepped, this, [this](int value) { Handle([&] { Stepped(value); }); });
    connect(chkPresent_, &QCheckBox::clicked, this, [this](bool checked) { Handle([&] { PresentClicked(checked); }); });
    connect(chkStandardCsv_, &QCheckBox::clicked, this,
            [this](bool checked) { Handle([&] { StandardCsvClicked(checked); }); });
    connect(chkSkipDuplicates_, &QCheckBox::clicked, this,
            [this](bool checked) { Handle([&] { SkipDuplicatesClicked(checked); }); });
    connect(cboPhoneRegion_, &QComboBox::currentTextChanged, this,
            [this](const QString& text) { wizard_.PhoneRegionChange(text.toStdString()); });
    connect(chkMobileOnly_, &QCheckBox::clicked, this, [this](bool checked) { wizard_.MobileOnlyClick(checked); });
    AcceptFileDrops(*page1_, [this](const std::string& path) { Handle([&] { Dropped(path); }); });

    const auto on = [this](QPushButton* button, void (ImportWizardWindow::*handler)()) {
        connect(button, &QPushButton::clicked, this, [this, handler] { Handle([&] { (this->*handler)(); }); });
    };
    on(cmdBrowse_, &ImportWizardWindow::Browse);
    on(cmdImportto_, &ImportWizardWindow::ChooseDestination);
    on(cmdNext_, &ImportWizardWindow::Next);
    on(cmdPrev_, &ImportWizardWindow::Previous);
    on(cmdMapping_, &ImportWizardWindow::ChangeMapping);
    on(cmdFinish_, &ImportWizardWindow::Finish);
    connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::reject);
}

void ImportWizardWindow::Unloading(int /*result*/) { wizard_.Unload(); }

void ImportWizardWindow::Sync() {
    ImportControls& c = form_.controls;
    Show(*txtLocation_, c.txtLocation);
    if (c.optDelimeter >= 0 && c.optDelimeter < static_cast<int32_t>(optDelimeter_.size()))
        optDelimeter_[static_cast<std::size_t>(c.optDelimeter)]->setChecked(true);
    Show(*txtOther_, c.txtOther);
    txtOther_->setVisible(c.txtOtherVisible);
    Show(*txtStartFromRow_, c.txtStartFromRow);
    txtStartFromRow_->setEnabled(c.txtStartFromRowEnabled);
    spnPolling_->SetRange(c.spnPollingMin, c.spnPollingMax);
    // The arrows step from the number in the box.
    if (IsNumeric(c.txtStartFromRow)) spnPolling_->SetValue(static_cast<int>(LeadingNumber(c.txtStartFromRow)));
    FocusValidation::SetCausesValidation(*spnPolling_, c.spnPollingCausesValidation);
    Show(*txtImportto_, c.txtImportto);
    Show(*txtPrefix_, c.txtPrefix);
    chkPresent_->setChecked(c.chkPresent);
    chkStandardCsv_->setChecked(c.chkStandardCsv);
    chkSkipDuplicates_->setChecked(c.chkSkipDuplicates);
    chkSkipDuplicates_->setEnabled(c.chkStandardCsv);
    if (cboPhoneRegion_->currentText().toStdString() != c.cboPhoneRegion)
        cboPhoneRegion_->setEditText(Text(c.cboPhoneRegion));
    for (QWidget* phone : {static_cast<QWidget*>(lblPhoneRegion_), static_cast<QWidget*>(cboPhoneRegion_),
                           static_cast<QWidget*>(chkMobileOnly_)})
        phone->setEnabled(c.chkStandardCsv);
    chkMobileOnly_->setChecked(c.chkMobileOnly);
    const std::string hint = LineEndHint(form_);
    lblLineEnds_->setText(Text(hint));
    lblLineEnds_->setVisible(!hint.empty());
    lblPreview_->setText(Text(c.lblPreview));
    lblPreview_->setToolTip(Text(c.lblPreview));
    cmdMapping_->setEnabled(c.cmdMappingEnabled);
    cmdFinish_->setEnabled(c.cmdFinishEnabled);
    cmdPrev_->setEnabled(c.cmdPrevEnabled);
    cmdClose_->setEnabled(c.cmdCloseEnabled);
    auto* pages = static_cast<QStackedWidget*>(page1_->parentWidget());
    pages->setCurrentWidget(c.fraSecondVisible ? page2_ : page1_);
    if (QWidget* focus = ControlOf(std::exchange(c.ActiveControl, ImportControl::None))) focus->setFocus();
}

void ImportWizardWindow::ShowPreview() { rtfPreview_->SetText(form_.controls.rtfPreview); }

QWidget* ImportWizardWindow::ControlOf(ImportControl control) const {
    switch (control) {
        case ImportControl::txtLocation: return txtLocation_;
        case ImportControl::txtOther: return txtOther_;
        case ImportControl::txtStartFromRow: return txtStartFromRow_;
        case ImportControl::cmdClose: return cmdClose_;
        case ImportControl::cboPhoneRegion: return cboPhoneRegion_;
        case ImportControl::None: break;
    }
    return nullptr;
}

void ImportWizardWindow::Browse() {
    if (!validation_->Allows()) return;
    // Any failure here, cancelling included, ends Browse with nothing changed.
    try {
        const std::optional<std::string> path = ChooseFile(this, {FileRequest::Mode::Open, BrowseFilterOf(form_),
                                                                  kBrowseFilterIndex, kBrowseFlags, ComponentFolder()});
        if (!path) return;
        busy_.Set(true);
        SourceBrowsed(form_, *path);
        busy_.Set(false);
    } catch (...) {
        busy_.Set(false);
        return;
    }
    ShowPreview();
    Sync();
}

bool ImportWizardWindow::ValidateLocation() {
    // The check reads the whole file into the preview; a large one takes a
    // moment, and the pointer says so.
    busy_.Set(true);
    const bool passed = SourceLocationValidate(form_);
    busy_.Set(false);
    ShowPreview();
    Sync();
    return passed;
}

void ImportWizardWindow::DelimiterClicked(int index) {
    if (validation_->Allows()) wizard_.DelimiterOptionClick(index);
    Sync();
}

void ImportWizardWindow::PresentClicked(bool checked) {
    if (validation_->Allows()) wizard_.ChkPresentClick(checked);
    Sync();
}

void ImportWizardWindow::StandardCsvClicked(bool checked) {
    if (validation_->Allows()) wizard_.StandardCsvClick(checked);
    Sync();
}

void ImportWizardWindow::SkipDuplicatesClicked(bool checked) {
    if (validation_->Allows()) wizard_.SkipDuplicatesClick(checked);
    Sync();
}

void ImportWizardWindow::Dropped(const std::string& path) {
    busy_.Set(true);
    SourceDropped(form_, path);
    busy_.Set(false);
    ShowPreview();
    Sync();
}

bool ImportWizardWindow::StartRowKey(const QKeyEvent& key) {
    constexpr int32_t kKeyUp = 38, kKeyDown = 40;
    if (key.key() == Qt::Key_Up || key.key() == Qt::Key_Down) {
        wizard_.StartRowKeyDown(key.key() == Qt::Key_Up ? kKeyUp : kKeyDown);
        Sync();
        return true;
    }
    const std::optional<int16_t> ascii = KeyAscii(key);
    return ascii && !wizard_.StartRowKeyPress(*ascii);
}

void ImportWizardWindow::Stepped(int value) {
    form_.controls.txtStartFromRow = std::to_string(value);
    Sync();
}

void ImportWizardWindow::ChooseDestination() {
    if (!validation_->Allows()) return;
    PickerWindow picker(picker_, this);
    picker.exec();
    picker.RethrowFailure();
    wizard_.ApplyPickerResult(picker_);
    Sync();
}

void ImportWizardWindow::Next() {
    if (!validation_->Allows()) return;
    const Working working(*this);
    listModel_->BeginListing();
    const bool listed = wizard_.Next().Listed();
    listModel_->EndListing();
    if (listed) {
        const int width = static_cast<int>(lvwContacts_->width() * kColumnShare);
        for (int column = 0; column < listModel_->columnCount(); ++column) lvwContacts_->setColumnWidth(column, width);
    }
    Sync();
}

void ImportWizardWindow::Previous() {
    wizard_.Previous();
    Sync();
}

void ImportWizardWindow::ChangeMapping() {
    // A fresh dialog each time, released when it closes.
    const bool named = form_.controls.chkStandardCsv && form_.CsvHasHeader;
    MappingWindow mapping(form_.session, form_.lvwContacts, named ? form_.CsvHeader : std::vector<std::string>(), this);
    mapping.exec();
    mapping.RethrowFailure();
}

void ImportWizardWindow::Finish() {
    if (!validation_->Allows()) return;
    const Working working(*this);
    wizard_.Finish();
    Sync();
}

}  // namespace pelmar::gui
