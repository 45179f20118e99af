// SPDX-License-Identifier: MIT
// The --fps overlay of the X11 host: frames per second and the process's CPU
// load, written over the frame in its bottom-left corner with a bitmap font
// that GLX makes from an X font.
#pragma once

#include <GL/gl.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <string>

namespace quillant {

class fps_overlay {
public:
    // Loads an X font and makes its glyphs into display lists of the current
    // GL context; ready() tells whether that worked.
    explicit fps_overlay(Display* display);
    ~fps_overlay();
    fps_overlay(const fps_overlay&) = delete;
    fps_overlay& operator=(const fps_overlay&) = delete;

    bool ready() const { return glyphs_ != 0; }

    // Counts one frame, drawn at now_us on a monotonic clock, and writes the
    // figures over it, for a window of width x height pixels. Leaves the GL
    // state as it found it.
    void draw(std::int32_t width, std::int32_t height, std::int64_t now_us);

private:
    // Takes new figures once a second has passed since the last.
    void measure(std::int64_t now_us);

    Display* display_;
    XFontStruct* font_ = nullptr;
    GLuint glyphs_ = 0;
    std::int64_t since_wall_us_ = -1;
    std::int64_t since_cpu_us_ = 0;
    int frames_ = 0;
    std::string rate_ = "FPS:  -";
    std::string load_ = "Load: -";
};

}  // namespace quillant
