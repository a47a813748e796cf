#pragma once
// The import wizard (caption "Import Contacts"): two pages over one
// ImportForm, page 1 for the source file and the import's choices, page 2
// for the listed records. Every control mirrors the form's state and every
// handler calls the wizard's logic; the preview list is a model over the
// form's record store.
#include <array>

#include "forms/import_form.h"
#include "forms/import_wizard.h"
#include "forms/picker_dialog.h"
#include "gui/form_window.h"
#include "gui/qt_user_interface.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTableView;

namespace pelmar::gui {

class FocusValidation;
class RecordStoreModel;
class TextPreview;
class UpDown;

class ImportWizardWindow : public FormWindow {
    Q_OBJECT
public:
    // Loads the wizard: the connections are opened (a failure is thrown) and
    // the default destination is set.
    explicit ImportWizardWindow(ImportForm& form, QWidget* parent = nullptr);
    ~ImportWizardWindow() override;

protected:
    void Unloading(int result) override;

private:
    QWidget* BuildFirstPage();
    QWidget* BuildSecondPage();
    void Connect();

    // Every control from the form's state, then the focus a handler chose.
    void Sync();
    // The preview box from the text the last check loaded.
    void ShowPreview();
    QWidget* ControlOf(ImportControl control) const;

    void Browse();
    bool ValidateLocation();
    void DelimiterClicked(int index);
    void PresentClicked(bool checked);
    void StandardCsvClicked(bool checked);
    void SkipDuplicatesClicked(bool checked);
    void Dropped(const std::string& path);
    bool StartRowKey(const QKeyEvent& key);
    void Stepped(int value);
    void ChooseDestination();
    void Next();
    void Previous();
    void ChangeMapping();
    void Finish();

    ImportForm& form_;
    ImportWizard wizard_;
    SelectFolderDialog picker_;  // one for the wizard's life: its result survives
    BusyPointer busy_;
    FocusValidation* validation_;
    RecordStoreModel* listModel_;

    QWidget* page1_;
    QWidget* page2_;
    QGroupBox* fraFirst_;
    QLineEdit* txtLocation_;
    QPushButton* cmdBrowse_;
    std::array<QRadioButton*, 5> optDelimeter_{};
    QLineEdit* txtOther_;
    QLineEdit* txtStartFromRow_;
    UpDown* spnPolling_;
    QLineEdit* txtImportto_;
    QPushButton* cmdImportto_;
    QLineEdit* txtPrefix_;
    QCheckBox* chkPresent_;
    QCheckBox* chkStandardCsv_;
    QCheckBox* chkSkipDuplicates_;
    QLabel* lblPhoneRegion_;
    QComboBox* cboPhoneRegion_;
    QCheckBox* chkMobileOnly_;
    QLabel* lblLineEnds_;
    QLabel* lblPreview_;
    TextPreview* rtfPreview_;
    QPushButton* cmdNext_;
    QPushButton* cmdCancel_;
    QGroupBox* fraSecond_;
    QTableView* lvwContacts_;
    QProgressBar* ProgressBar1_;
    QPushButton* cmdMapping_;
    QPushButton* cmdPrev_;
    QPushButton* cmdFinish_;
    QPushButton* cmdClose_;
};

}  // namespace pelmar::gui
