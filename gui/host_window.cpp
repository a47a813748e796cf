#include "gui/host_window.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
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
    txtResults_ = Named("txtResults", new QPlainTextEdit);
    txtResults_->setReadOnly(true);
    txtResults_->setPlaceholderText(QStringLiteral("What the component's calls returned appears here."));

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(buttons);
    layout->addWidget(txtResults_, 1);
    resize(560, 320);

    connect(cmdImport, &QPushButton::clicked, this, [this] { Call(EntryPoint::ImportContacts); });
    connect(cmdExport, &QPushButton::clicked, this, [this] { Call(EntryPoint::ExportContacts); });
}

HostSettings HostWindow::Settings() const {
    return {txtRemote_->text().toStdString(), txtLocal_->text().toStdString(), optClient_->isChecked(),
            txtUser_->value(), log_};
}

void HostWindow::Call(EntryPoint entry) {
    const char* name = entry == EntryPoint::ImportContacts ? "ImportContacts" : "ExportContacts";
    const HostSettings settings = Settings();
    QString line;
    try {
        const int32_t result = CallEntryPoint(manager_, settings, entry);
        line = QStringLiteral("%1(%2) returned %3").arg(QString::fromLatin1(name)).arg(settings.user).arg(result);
        if (result == 0) line += QStringLiteral("; see the log %1").arg(QString::fromStdString(manager_.LogFile()));
    } catch (const std::exception& e) {
        // The call failed in the interface itself; the host reports it here.
        line = QStringLiteral("%1 failed: %2").arg(QString::fromLatin1(name), QString::fromStdString(e.what()));
    }
    txtResults_->appendPlainText(line);
}

}  // namespace pelmar::gui
