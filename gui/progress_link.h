#pragma once
// Shows a run's progress bar model in a QProgressBar. The runs work on the
// window's own thread, so while the bar moves the window is painted anew a
// few times a second; input waits until the run has ended, so no handler
// can run in the middle of another.
class QProgressBar;

namespace pelmar {
class ProgressBar;
}

namespace pelmar::gui {

// Until Unlink, every change of `model` shows in `view`.
void Link(ProgressBar& model, QProgressBar& view);
void Unlink(ProgressBar& model);

}  // namespace pelmar::gui
