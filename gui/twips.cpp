#include "gui/twips.h"

#include <QWidget>
#include <cmath>

namespace pelmar::gui {

int Twips(int twips, const QWidget& widget) {
    constexpr double kTwipsPerInch = 1440.0;
    return static_cast<int>(std::lround(twips * widget.logicalDpiY() / kTwipsPerInch));
}

}  // namespace pelmar::gui
