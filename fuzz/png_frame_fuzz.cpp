// Any bytes as a smooth animation's frame file, read for resuming or for a
// video: no crash, no unbounded memory, and a frame it accepts has exactly
// the pixels of its size. The bytes go through a file, as frames do.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "export/PngFrameRead.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace velmora;
    static const std::string path = [] {
        char name[] = "/tmp/velmora-frame-fuzz-XXXXXX";
        const int fd = ::mkstemp(name);
        if (fd >= 0) ::close(fd);
        return std::string(name);
    }();
    std::vector<std::uint8_t> png(data, data + size);
    fuzz::fixPngCrcs(png);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return 0;
    const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    if (std::fclose(f) != 0 || !written) return 0;
    std::vector<std::uint8_t> pixels;
    std::int32_t width = 0, height = 0;
    if (readTrueColourFrame(path, width, height, pixels, std::int64_t{1} << 22) &&
        pixels.size() != std::size_t(width) * std::size_t(height) * 4)
        std::abort();
    if (readTrueColourFrame(path, 8, 6, pixels) && pixels.size() != 8 * 6 * 4) std::abort();
    return 0;
}
