#pragma once
// The application object the windows need. A Qt host lends its own; for any
// other host the component makes one on the first thread that shows a
// window. Qt shows windows only on the thread of its application object.
class QApplication;

namespace pelmar::gui {

// Whether there is a display to show windows on, as far as the environment
// tells: without one Qt would end the process. (A display that is named but
// cannot be reached still ends it.)
bool DisplayAvailable();

// The application object, made when the process has none. Throws
// pelmar::Error when the calling thread cannot show windows: another thread
// owns the application object, the host's is not a widgets application, or
// there is no display.
QApplication& GuiApplication();

}  // namespace pelmar::gui
