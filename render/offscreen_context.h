// SPDX-License-Identifier: MIT
// An OpenGL context that draws into memory rather than into a window, for the
// native tests and tools. Native builds only.
#pragma once

#include <cstdint>
#include <vector>

struct osmesa_context;

namespace quillant {

class offscreen_context {
public:
    // Makes an RGBA context over a width x height pixel buffer of its own and
    // makes it current on the calling thread; ready() tells whether that worked.
    offscreen_context(std::int32_t width, std::int32_t height);
    ~offscreen_context();
    offscreen_context(const offscreen_context&) = delete;
    offscreen_context& operator=(const offscreen_context&) = delete;

    // True when the context exists and was made current.
    bool ready() const { return ready_; }

    std::int32_t width() const { return width_; }
    std::int32_t height() const { return height_; }

    // Finishes the drawing so far and gives the pixels: rows bottom-up, four
    // bytes (red, green, blue, alpha) a pixel. Empty when not ready.
    const std::vector<std::uint8_t>& pixels();

private:
    std::int32_t width_;
    std::int32_t height_;
    std::vector<std::uint8_t> pixels_;
    osmesa_context* context_ = nullptr;
    bool ready_ = false;
};

}  // namespace quillant
