#include "gui/host_window.h"

#include <QDesktopServices>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <limits>
#include <stdexcept>

#include "core/enums.h"
#include "gui/form_window.h"
#include "gui/manager_client.h"

namespace pelmar::gui {

int32_t CallEntryPoint(ManagerClient& manager, const HostSettings& settings, EntryPoint entry) {
    manager.Init(settings.local, settings.remote, settings.runAtClient ? RuntAtClient : RuntAtServer, settings.log);
    return entry == EntryPoint::ImportContacts ? manager.ImportContacts(settings.user)
                                               : manager.ExportContacts(settings.user);
}

HostWindow::HostWindow(ManagerClient& manager, const HostSettings& settings, QWidget* parent)
        : QWidget(parent), manager_(manager), log_(settings.log) {
    setWindowTitle(QStringLiteral("PelmarImpExp"));
    txtRemote_ = Named("txtRemote", new QLineEdit(QString::fromStdString(settings.remote)));
    txtLocal_ = Named("txtLocal", new QLineEdit(QString::fromStdString(settings.local)));
    txtUser_ = Named("txtUser", new QSpinBox);
    txtUser_->setRange(0, std::numeric_limits<int>::max());
    txtUser_->setValue(settings.user);
    optClient_ = Named("optClient", new QRadioButton(QStringLiteral("&Client")));
    optServer_ = Named("optServer", new QRadioButton(QStringLiteral("&Server")));
    (settings.runAtClient ? optClient_ : optServer_)->setChecked(true);
    auto* runAt = new QHBoxLayout;
    runAt->addWidget(optClient_);
    runAt->addWidget(optServer_);
    runAt->addStretch();

    auto* form = new QFormLayout;
    const auto row = [form](const char* caption, QWidget* field) {
        auto* label = new QLabel(QString::fromLatin1(caption));
        label->setBuddy(field);
        form->addRow(label, field);
    };
    row("&Remote database:", txtRemote_);
    row("&Local database:", txtLocal_);
    row("&User ID:", txtUser_);
    form->addRow(new QLabel(QStringLiteral("Runs at:")), runAt);

    auto* cmdImport = Named("cmdImport", new QPushButton(QStringLiteral("&Import Contacts...")));
    auto* cmdExport = Named("cmdExport", new QPushButton(QStringLiteral("&Export Contacts...")));
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdImport);
    buttons->addWidget(cmdExport);
    txtResults_ = Named("txtResults", new QTextBrowser);
    // A file's link opens it in the desktop's viewer, not in this box.
    txtResults_->setOpenLinks(false);
    txtResults_->setPlaceholderText(QStringLiteral("What the component's calls returned appears here."));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(txtResults_, 1);
    resize(560, 320);

    connect(cmdImport, &QPushButton::clicked, this, [this] { Call(EntryPoint::ImportContacts); });
    connect(cmdExport, &QPushButton::clicked, this, [this] { Call(EntryPoint::ExportContacts); });
    connect(txtResults_, &QTextBrowser::anchorClicked, this, [](const QUrl& url) { QDesktopServices::openUrl(url); });
}

HostSettings HostWindow::Settings() const {
    return {txtRemote_->text().toStdString(), txtLocal_->text().toStdString(), optClient_->isChecked(),
            txtUser_->value(), log_};
}

namespace {

// A caption and the file it names, as a link to the file.
QString FileLine(const char* caption, const std::string& path) {
    const QString file = QString::fromStdString(path);
    return QStringLiteral("%1 <a href=\"%2\">%3</a>")
        .arg(QString::fromLatin1(caption), QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded).toHtmlEscaped(),
             file.toHtmlEscaped());
}

}  // namespace

QString HostWindow::Outcome(EntryPoint entry, int32_t user, int32_t result) {
    QStringList lines{FileLine("Log:", manager_.LogFile())};
    if (entry == EntryPoint::ImportContacts) {
        const ManagerClient::ImportFiles files = manager_.LastImportFiles();
        if (!files.badFile.empty()) lines << FileLine("Records that failed:", files.badFile);
        if (!files.rejectsFile.empty()) lines << FileLine("Records not imported:", files.rejectsFile);
    }
    const char* name = entry == EntryPoint::ImportContacts ? "ImportContacts" : "ExportContacts";
    lines.prepend(QStringLiteral("<b>%1(%2) returned %3</b>").arg(QString::fromLatin1(name)).arg(user).arg(result));
    return lines.join(QStringLiteral("<br>"));
}

void HostWindow::Call(EntryPoint entry) {
    const char* name = entry == EntryPoint::ImportContacts ? "ImportContacts" : "ExportContacts";
    const HostSettings settings = Settings();
    QString text;
    try {
        text = Outcome(entry, settings.user, CallEntryPoint(manager_, settings, entry));
    } catch (const std::exception& e) {
        // The call failed in the interface itself; the host reports it here.
        text = QStringLiteral("%1 failed: %2")
                   .arg(QString::fromLatin1(name), QString::fromStdString(e.what()).toHtmlEscaped());
    }
    txtResults_->append(text);
}

}  // namespace pelmar::gui
