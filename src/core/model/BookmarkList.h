#pragma once
// Bookmarks: named locations kept in the settings as one text, shared by every
// document. The text is read back whatever state the settings are in: a line
// that is not a whole, sound bookmark is dropped, never trusted.
#include <string>
#include <string_view>
#include <vector>

#include "location/FractalParams.h"

namespace velmora {

// A place to go back to. Only the location travels: region, type, Julia
// constant, Detail Level (as iterations) and the exact values; the picture size
// is the document's own.
struct Bookmark {
    std::string name;
    FractalParams location;
    friend bool operator==(const Bookmark&, const Bookmark&) = default;
};

// One line a bookmark, its fields separated by tabs: name, type, left, top,
// right, bottom, constant's real and imaginary parts, iterations, then the six
// exact values when there are any. Doubles are written so they read back to
// the same bits; a tab, line break or backslash in a name is escaped.
std::string bookmarksToText(const std::vector<Bookmark>& bookmarks);

// The bookmarks of a text made by bookmarksToText. Lines with a wrong field
// count, a number that does not read whole or is not finite, a type other than
// Mandelbrot or Julia, fewer than 1 iteration or an exact value that is
// neither empty nor a plain decimal are skipped.
std::vector<Bookmark> bookmarksFromText(std::string_view text);

// The location a bookmark keeps, taken from the document's values.
FractalParams bookmarkLocation(const FractalParams& values);

// The document's values after going to a bookmark: its location, the size kept.
FractalParams atBookmark(const FractalParams& current, const Bookmark& bookmark);

}  // namespace velmora
