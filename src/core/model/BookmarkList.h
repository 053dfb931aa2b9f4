#pragma once
// Bookmarks: named locations kept in the settings as one text, shared by every
// document. The text is read back whatever state the settings are in: a line
// that is not a whole, sound bookmark is never trusted, but it is kept as it
// was, so that rewriting the list (perhaps by another version of the program)
// loses nothing.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "location/FractalParams.h"

namespace velmora {

// The longest name a bookmark may have, in characters.
inline constexpr std::size_t kMaxBookmarkName = 256;

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
// the same bits; a tab, line break or backslash in a name is escaped. The
// unreadable lines follow the bookmarks, each as it was read.
std::string bookmarksToText(const std::vector<Bookmark>& bookmarks, const std::vector<std::string>& unreadable = {});

struct BookmarkLines {
    std::vector<Bookmark> bookmarks;
    // Each line that is not blank and not a bookmark, without its line break.
    std::vector<std::string> unreadable;
};

// The lines of a text made by bookmarksToText. A line is no bookmark when it
// has a wrong field count, a number that does not read whole or is not finite,
// a type other than Mandelbrot or Julia, an exact value that is neither empty
// nor a plain decimal, or when canBookmark refuses it.
BookmarkLines readBookmarkLines(std::string_view text);
std::vector<Bookmark> bookmarksFromText(std::string_view text);

// False for what the list does not keep: a name longer than kMaxBookmarkName
// characters, or fewer than 1 iteration or more than a document can save.
bool canBookmark(const Bookmark& bookmark);

// The location a bookmark keeps, taken from the document's values.
FractalParams bookmarkLocation(const FractalParams& values);

// The document's values after going to a bookmark: its location, the size kept.
FractalParams atBookmark(const FractalParams& current, const Bookmark& bookmark);

}  // namespace velmora
