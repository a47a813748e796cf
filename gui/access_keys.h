#pragma once
// A button's access key (Alt+N for "&Next >>") presses it as a mouse click
// does: the focus moves onto the button first, so that the box it leaves is
// checked (focus_validation.h), and the click happens only when the focus
// got there. Qt would click without moving the focus, and a window whose
// buttons ask FocusValidation::Allows() would then refuse every access key
// pressed in a box that checks on leaving.
class QWidget;

namespace pelmar::gui {

// For every button of `window` that exists now.
void MoveFocusOnAccessKeys(QWidget& window);

}  // namespace pelmar::gui
