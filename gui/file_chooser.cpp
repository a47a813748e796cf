#include "gui/file_chooser.h"

#include <QFileDialog>
#include <QRegularExpression>

#include "gui/form_window.h"

namespace pelmar::gui {
namespace {

constexpr int32_t kFileMustExist = 4096;

thread_local FileChooser tChooser;

std::optional<std::string> ShowFileDialog(QWidget* parent, const FileRequest& request) {
    QFileDialog dialog(parent);
    const QStringList filters = NameFilters(request.filter);
    dialog.setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
        dialog.selectNameFilter(filters.at(request.filterIndex - 1));
    dialog.setDirectory(QString::fromStdString(request.folder));
    if (request.mode == FileRequest::Mode::Save) {
        // Replacing an existing file is confirmed, as the platform's save dialog does.
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.flags & kFileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
    ReturnFocus(parent);
    if (!chosen) return std::nullopt;
    return dialog.selectedFiles().constFirst().toStdString();
}

}  // namespace

std::optional<std::string> ChooseFile(QWidget* parent, const FileRequest& request) {
    return tChooser ? tChooser(parent, request) : ShowFileDialog(parent, request);
}

void SetFileChooser(FileChooser chooser) { tChooser = std::move(chooser); }

QStringList NameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split(QLatin1Char('|'));
    static const QRegularExpression trailingPatterns(QStringLiteral("\\s*\\([^()]*\\)\\s*$"));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts.at(i);
        label.remove(trailingPatterns);
        QString patterns = parts.at(i + 1);
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        if (patterns == QLatin1String("*.*")) patterns = QStringLiteral("*");
        filters << QStringLiteral("%1 (%2)").arg(label, patterns);
    }
    return filters;
}

}  // namespace pelmar::gui
