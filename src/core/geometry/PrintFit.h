#pragma once
// Where the picture goes on a printed page: at the top-left corner, as large as
// fits, with square pixels on paper.
#include <cstdint>

namespace velmora {

struct PageMetrics {
    std::int32_t horzRes = 0;   // printable width in device pixels
    std::int32_t vertRes = 0;   // printable height in device pixels
    std::int32_t logPixelsX = 0;  // dots per inch across
    std::int32_t logPixelsY = 0;  // dots per inch down
};

struct PrintTarget {
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const PrintTarget&, const PrintTarget&) = default;
};

// The full page width first; if the height that gives does not fit, the full
// page height instead. A degenerate picture or page gives an empty target.
PrintTarget fitOnPage(std::int32_t pictureWidth, std::int32_t pictureHeight, const PageMetrics& page);

}  // namespace velmora
