#include "gui/export_window.h"

#include <QCheckBox>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "forms/export_dialog.h"
#include "forms/window_additions.h"
#include "gui/access_keys.h"
#include "gui/file_chooser.h"
#include "gui/file_drop.h"
#include "gui/focus_validation.h"
#include "gui/key_filter.h"
#include "gui/progress_link.h"

namespace pelmar::gui {
namespace {

QString Text(const char* text) { return QString::fromLatin1(text); }

}  // namespace

ExportWindow::ExportWindow(ExportDialog& dialog, QWidget* parent)
        : FormWindow(WindowKind::Export, parent), dialog_(dialog), validation_(new FocusValidation(*this)) {
    namespace caption = export_captions;
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(Text(caption::Form));
    auto* label = Named("Label1", new QLabel(Text(caption::Label1)));
    label->setWordWrap(true);
    auto* frame = Named("Frame1", new QGroupBox(Text(caption::Frame1)));
    txtLocation_ = Named("txtLocation", new QLineEdit);
    cmdBrowse_ = Named("cmdBrowse", new QPushButton(Text(caption::cmdBrowse)));
    auto* destination = new QGridLayout(frame);
    destination->addWidget(Named("Label2", new QLabel(Text(caption::Label2))), 0, 0);
    destination->addWidget(txtLocation_, 0, 1);
    destination->addWidget(cmdBrowse_, 0, 2);
    // Our own addition, off by default: files for other programs.
    chkStandardFormats_ =
        Named("chkStandardFormats",
              new QCheckBox(QStringLiteral("Standard formats by extension (.csv all fields, .vcf, .xlsx)")));
    destination->addWidget(chkStandardFormats_, 1, 1, 1, 2);
    ProgressBar1_ = Named("ProgressBar1", new QProgressBar);
    QSizePolicy keepRoom = ProgressBar1_->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    ProgressBar1_->setSizePolicy(keepRoom);
    ProgressBar1_->hide();
    cmdExport_ = Named("cmdExport", new QPushButton(Text(caption::cmdExport)));
    cmdClose_ = Named("cmdClose", new QPushButton(Text(caption::cmdClose)));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdExport_);
    buttons->addWidget(cmdClose_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(frame);
    layout->addWidget(ProgressBar1_);
    layout->addLayout(buttons);
    resize(520, sizeHint().height());

    validation_->Watch(*txtLocation_, [this] {
        bool passed = true;
        Handle([&] { passed = dialog_.txtLocation_Validate(); });
        return passed;
    });
    FocusValidation::SetCausesValidation(*cmdClose_, false);
    EnterAsTab(*txtLocation_);
    connect(txtLocation_, &QLineEdit::textEdited, this,
            [this](const QString& text) { dialog_.txtLocation = text.toStdString(); });
    connect(chkStandardFormats_, &QCheckBox::toggled, this,
            [this](bool checked) { dialog_.chkStandardFormats = checked; });
    connect(cmdBrowse_, &QPushButton::clicked, this, [this] { Handle([&] { Browse(); }); });
    connect(cmdExport_, &QPushButton::clicked, this, [this] { Handle([&] { Export(); }); });
    connect(cmdClose_, &QPushButton::clicked, this, &QDialog::reject);
    MoveFocusOnAccessKeys(*this);
    AcceptFileDrops(*this, [this](const std::string& path) {
        Handle([&] {
            DestinationDropped(dialog_, path);
            Sync();
        });
    });

    dialog_.SetBusyPointer = [this](bool busy) { busy_.Set(busy); };
    Link(dialog_.ProgressBar1, *ProgressBar1_);
    Sync();
    txtLocation_->setFocus();
}

ExportWindow::~ExportWindow() {
    Unlink(dialog_.ProgressBar1);
    dialog_.SetBusyPointer = nullptr;
}

void ExportWindow::Unloading(int /*result*/) { dialog_.cmdClose_Click(); }

void ExportWindow::Sync() {
    const QString location = QString::fromStdString(dialog_.txtLocation);
    if (txtLocation_->text() != location) txtLocation_->setText(location);
    chkStandardFormats_->setChecked(dialog_.chkStandardFormats);
    QWidget* focus = nullptr;
    switch (std::exchange(dialog_.Focus, ExportDialog::Control::None)) {
        case ExportDialog::Control::txtLocation: focus = txtLocation_; break;
        case ExportDialog::Control::cmdBrowse: focus = cmdBrowse_; break;
        case ExportDialog::Control::cmdExport: focus = cmdExport_; break;
        case ExportDialog::Control::cmdClose: focus = cmdClose_; break;
        case ExportDialog::Control::None: break;
    }
    if (focus) focus->setFocus();
}

void ExportWindow::Browse() {
    if (!validation_->Allows()) return;
    // Any failure, cancelling included, ends Browse with the box unchanged.
    try {
        const BrowseSettings settings = dialog_.BrowseSetup();
        // Where no "windir" names a folder, the dialog starts at home.
        const std::string folder = settings.InitDir.empty() ? QDir::homePath().toStdString() : settings.InitDir;
        const std::optional<std::string> path =
            ChooseFile(this, {FileRequest::Mode::Save, settings.Filter, settings.FilterIndex, settings.Flags, folder});
        if (!path) return;
        dialog_.BrowseChosen(*path);
    } catch (...) {
        return;
    }
    Sync();
}

void ExportWindow::Export() {
    if (!validation_->Allows()) return;
    const Working working(*this);
    dialog_.cmdExport_Click();
    Sync();
}

}  // namespace pelmar::gui
