// SPDX-License-Identifier: MIT
// The --fps figures of the Wayland host, which has no fonts to ask for:
// frames per second and the process's CPU load, in seven-segment figures
// drawn with GL lines in the frame's bottom-left corner.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>

namespace quillant {

class fps_figures {
public:
    // Counts one frame, drawn at now_us on a monotonic clock, and draws the
    // figures over it for a buffer of width x height pixels. Leaves the GL
    // state as it found it.
    void draw(std::int32_t width, std::int32_t height, std::int64_t now_us);

    // Counts one frame, drawn at now_us, and makes the text anew once a
    // second; draw() counts too.
    void count(std::int64_t now_us);

    // The text drawn: "20.0 3%" for 20 frames a second at 3 % CPU.
    const std::string& text() const { return text_; }

private:
    std::int64_t since_us_ = -1;
    std::clock_t cpu_since_ = 0;
    int frames_ = 0;
    std::string text_;
};

}  // namespace quillant
