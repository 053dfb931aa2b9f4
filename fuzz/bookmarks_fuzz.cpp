// Any settings text as the bookmark list: reading never fails, every line it
// accepts is one the list keeps, and writing the list back gives the same
// bookmarks and the same unreadable lines, each as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/BookmarkList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const BookmarkLines read = readBookmarkLines(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const Bookmark& b : read.bookmarks) {
        if (!canBookmark(b)) std::abort();
    }
    const BookmarkLines back = readBookmarkLines(bookmarksToText(read.bookmarks, read.unreadable));
    if (back.bookmarks != read.bookmarks || back.unreadable != read.unreadable) std::abort();
    return 0;
}
