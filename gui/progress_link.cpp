#include "gui/progress_link.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QProgressBar>
#include <memory>

#include "common/progress.h"

namespace pelmar::gui {
namespace {

// Long enough that painting costs the run little, short enough to look live.
constexpr qint64 kPaintIntervalMs = 50;

}  // namespace

void Link(ProgressBar& model, QProgressBar& view) {
    auto sincePaint = std::make_shared<QElapsedTimer>();
    sincePaint->start();
    model.SetObserver([bar = QPointer<QProgressBar>(&view), sincePaint](const ProgressBar& m) {
        if (!bar) return;
        const bool shapeChanged =
            bar->isHidden() == m.Visible() || bar->minimum() != m.Min() || bar->maximum() != m.Max();
        if (shapeChanged) {
            bar->setRange(m.Min(), m.Max());
            bar->setVisible(m.Visible());
        }
        const bool due = sincePaint->elapsed() >= kPaintIntervalMs;
        if (shapeChanged || due || m.Value() == m.Max()) bar->setValue(m.Value());
        if (due) {
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
            sincePaint->restart();
        }
    });
}

void Unlink(ProgressBar& model) { model.SetObserver({}); }

}  // namespace pelmar::gui
