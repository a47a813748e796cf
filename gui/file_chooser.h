#pragma once
// The file dialogs of the Browse buttons, behind a per-thread hook so that
// tests can stand in for the user.
#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace pelmar::gui {

struct FileRequest {
    enum class Mode { Open, Save };
    Mode mode = Mode::Open;
    std::string filter;       // "All Files (*.*)|*.*|CSV Files (*.csv)|*.csv"
    int32_t filterIndex = 1;  // the preselected pair, from 1
    int32_t flags = 0;        // 4096: the file must exist (open dialogs)
    std::string folder;       // where the dialog starts
};

// The chosen path; nothing when the user cancelled.
using FileChooser = std::function<std::optional<std::string>(QWidget* parent, const FileRequest& request)>;

std::optional<std::string> ChooseFile(QWidget* parent, const FileRequest& request);
// Replaces the dialog on the calling thread; an empty chooser restores it.
void SetFileChooser(FileChooser chooser);

// Qt's name filters for a "Label|patterns|..." filter. "*.*" matches every
// name, as it does where the filter comes from, so it becomes "*".
QStringList NameFilters(const std::string& filter);

}  // namespace pelmar::gui
