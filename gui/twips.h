#pragma once
// Window geometry given in twips (1/1440 inch): 15 twips a pixel at 96 DPI,
// scaled by the logical DPI of the screen the widget is on.
class QWidget;

namespace pelmar::gui {

int Twips(int twips, const QWidget& widget);

}  // namespace pelmar::gui
