#pragma once
// A PNG file read back with libpng, for comparing pictures.
#include <png.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace velmora::test {

// The colour type, the width and height (low bytes), every row's bytes, then
// the palette's entries as red, green, blue.
inline std::vector<std::uint8_t> decodePng(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, f);
    png_read_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    const png_uint_32 w = png_get_image_width(png, info), h = png_get_image_height(png, info);
    std::vector<std::uint8_t> d{std::uint8_t(png_get_color_type(png, info)), std::uint8_t(w), std::uint8_t(h)};
    const std::size_t bytes = png_get_rowbytes(png, info);
    for (png_uint_32 r = 0; r < h; ++r)
        d.insert(d.end(), png_get_rows(png, info)[r], png_get_rows(png, info)[r] + bytes);
    png_colorp colours = nullptr;
    int n = 0;  // the palette's entries
    png_get_PLTE(png, info, &colours, &n);
    for (int i = 0; i < n; ++i) d.insert(d.end(), {colours[i].red, colours[i].green, colours[i].blue});
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(f);
    return d;
}

}  // namespace velmora::test
