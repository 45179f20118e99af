// SPDX-License-Identifier: MIT
#include "tools/png_file.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace quillant {

bool write_png(const std::string& path, std::int32_t width, std::int32_t height,
               const std::vector<std::uint8_t>& bottom_up_rgba) {
    const std::size_t row_bytes = 4 * static_cast<std::size_t>(width);
    if (width <= 0 || height <= 0 || bottom_up_rgba.size() != row_bytes * height) return false;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"),
                                                          std::fclose);
    if (!file) return false;

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    // libpng reports errors by jumping back here.
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, width, height, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_set_filler(png, 0, PNG_FILLER_AFTER);  // the rows carry an alpha byte to skip
    for (std::int32_t row = height - 1; row >= 0; --row) {
        png_write_row(png, bottom_up_rgba.data() + row_bytes * row);
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace quillant
