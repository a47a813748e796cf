#pragma once
// The host window of `pelmar gui` (title "PelmarImpExp"): the connection
// strings, the acting user and where the host runs, and two buttons that
// call Init and an entry point of the component through its C interface,
// with each call's result listed below them: what the entry point returned,
// the log it wrote to and, after an import, the files of records that were
// not imported, as links that open in the desktop's viewer.
#include <QWidget>
#include <cstdint>
#include <string>

class QLineEdit;
class QTextBrowser;
class QRadioButton;
class QSpinBox;

namespace pelmar::gui {

class ManagerClient;

struct HostSettings {
    std::string remote;
    std::string local;
    bool runAtClient = false;
    int32_t user = 1;
    std::string log;  // "" for the library's default
};

enum class EntryPoint { ImportContacts, ExportContacts };

// Init with `settings`, then `entry` for its user: the entry point's result.
// A failure of the interface itself is thrown.
int32_t CallEntryPoint(ManagerClient& manager, const HostSettings& settings, EntryPoint entry);

class HostWindow : public QWidget {
    Q_OBJECT
public:
    HostWindow(ManagerClient& manager, const HostSettings& settings, QWidget* parent = nullptr);

private:
    HostSettings Settings() const;
    void Call(EntryPoint entry);
    // What the component tells of the call that returned `result`.
    QString Outcome(EntryPoint entry, int32_t user, int32_t result);

    ManagerClient& manager_;
    std::string log_;  // the log named at the start; the window does not change it
    QLineEdit* txtRemote_;
    QLineEdit* txtLocal_;
    QSpinBox* txtUser_;
    QRadioButton* optClient_;
    QRadioButton* optServer_;
    QTextBrowser* txtResults_;
};

}  // namespace pelmar::gui
