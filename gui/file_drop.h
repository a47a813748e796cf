#pragma once
// A file dragged from the desktop onto a window: one local file is taken,
// anything else (several files, text, a web link) is refused.
#include <functional>
#include <string>

class QWidget;

namespace pelmar::gui {

// `area` and every control in it take the drop of one local file and hand
// its path to `dropped`; their own drops of text stay as they were.
void AcceptFileDrops(QWidget& area, std::function<void(const std::string& path)> dropped);

}  // namespace pelmar::gui
