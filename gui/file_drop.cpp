#include "gui/file_drop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <optional>

namespace pelmar::gui {
namespace {

std::optional<std::string> DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1) return std::nullopt;
    const QUrl url = data->urls().front();
    if (!url.isLocalFile()) return std::nullopt;
    return url.toLocalFile().toStdString();
}

class FileDropFilter : public QObject {
public:
    FileDropFilter(QObject* parent, std::function<void(const std::string&)> dropped)
            : QObject(parent), dropped_(std::move(dropped)) {}

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter:
            case QEvent::DragMove: {
                auto* drag = static_cast<QDropEvent*>(event);
                if (!DroppedFile(drag->mimeData())) return false;
                drag->acceptProposedAction();
                return true;
            }
            case QEvent::Drop: {
                auto* drop = static_cast<QDropEvent*>(event);
                const std::optional<std::string> path = DroppedFile(drop->mimeData());
                if (!path) return false;
                drop->acceptProposedAction();
                dropped_(*path);
                return true;
            }
            default: return false;
        }
    }

private:
    std::function<void(const std::string&)> dropped_;
};

}  // namespace

void AcceptFileDrops(QWidget& area, std::function<void(const std::string& path)> dropped) {
    auto* filter = new FileDropFilter(&area, std::move(dropped));
    area.setAcceptDrops(true);
    area.installEventFilter(filter);
    for (QWidget* control : area.findChildren<QWidget*>()) control->installEventFilter(filter);
}

}  // namespace pelmar::gui
