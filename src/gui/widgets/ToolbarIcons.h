#pragma once
// Our own toolbar pictures, 16 x 15 pixels, from res/icons/toolbar; and the
// program's icon.
#include <QIcon>

namespace velmora::gui {

inline constexpr int kToolbarIconWidth = 16;
inline constexpr int kToolbarIconHeight = 15;

// The button picture of a command id; a null icon for ids without a button.
QIcon toolbarIcon(int id);
QIcon applicationIcon();

}  // namespace velmora::gui
