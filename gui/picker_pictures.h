#pragma once
// The three 16 x 16 pictures of the picker's tree, drawn here: a yellow
// folder for pictures 1 and 3 (a folder, and a folder when selected) and
// three small figures side by side for picture 2 (a group).
#include <QIcon>
#include <cstdint>

namespace pelmar::gui {

// The picture at `position` (1 to 3) as a node shows it; a null icon for 0.
// A node whose selected picture differs shows that one while selected.
QIcon TreePicture(int32_t picture, int32_t selectedPicture);

}  // namespace pelmar::gui
