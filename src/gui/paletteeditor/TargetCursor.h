#pragma once
// The palette editor's target cursor: a 32 x 32 monochrome arrow with the
// letters TO to its right, hot spot at the arrow's tip (1, 1). Drawn here
// from a pixel pattern, so it looks the same on every desktop and font.
#include <QCursor>
#include <optional>

namespace velmora::gui {

inline constexpr int kTargetCursorSize = 32;

// None if the platform could not make the bitmaps.
std::optional<QCursor> makeTargetCursor();

}  // namespace velmora::gui
