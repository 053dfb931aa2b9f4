// Any settings text as the bookmark list: reading never fails, and what it
// accepts writes out and reads back to the same bookmarks.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "model/BookmarkList.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    const std::vector<Bookmark> read = bookmarksFromText(std::string_view(reinterpret_cast<const char*>(data), size));
    if (bookmarksFromText(bookmarksToText(read)) != read) std::abort();
    return 0;
}
