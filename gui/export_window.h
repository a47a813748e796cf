#pragma once
// The export dialog (caption "Export Contacts") over the thread's
// ExportDialog, whose destination and log file outlive the window: the
// destination box with its check when the focus leaves it, Browse, Export
// with its progress bar, and Close.
#include "gui/form_window.h"
#include "gui/qt_user_interface.h"

class QCheckBox;
class QLineEdit;
class QProgressBar;
class QPushButton;

namespace pelmar {
class ExportDialog;
}

namespace pelmar::gui {

class FocusValidation;

class ExportWindow : public FormWindow {
    Q_OBJECT
public:
    explicit ExportWindow(ExportDialog& dialog, QWidget* parent = nullptr);
    ~ExportWindow() override;

protected:
    void Unloading(int result) override;

private:
    void Sync();
    void Browse();
    void Export();

    ExportDialog& dialog_;
    BusyPointer busy_;
    FocusValidation* validation_;
    QLineEdit* txtLocation_;
    QPushButton* cmdBrowse_;
    QCheckBox* chkStandardFormats_;
    QPushButton* cmdExport_;
    QPushButton* cmdClose_;
    QProgressBar* ProgressBar1_;
};

}  // namespace pelmar::gui
