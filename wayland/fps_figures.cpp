// SPDX-License-Identifier: MIT
#include "wayland/fps_figures.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>

namespace quillant {

namespace {

// The segments of each figure, a bit each: top, upper right, lower right,
// bottom, lower left, upper left, middle.
constexpr unsigned char digit_segments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                              0x6D, 0x7D, 0x07, 0x7F, 0x6F};
// Each segment's ends, on a figure 1 wide and 2 high.
constexpr float segment_ends[7][4] = {{0, 2, 1, 2}, {1, 2, 1, 1}, {1, 1, 1, 0}, {0, 0, 1, 0},
                                      {0, 0, 0, 1}, {0, 1, 0, 2}, {0, 1, 1, 1}};

// Adds the lines of one character at x, of the given size, to the batch.
void character_lines(char c, float x, float size) {
    auto line = [&](float x0, float y0, float x1, float y1) {
        glVertex2f(x + x0 * size, y0 * size);
        glVertex2f(x + x1 * size, y1 * size);
    };
    if (c >= '0' && c <= '9') {
        for (int s = 0; s < 7; ++s) {
            if (digit_segments[c - '0'] & (1u << s)) {
                line(segment_ends[s][0], segment_ends[s][1], segment_ends[s][2], segment_ends[s][3]);
            }
        }
    } else if (c == '.') {
        line(0.4f, 0.0f, 0.6f, 0.0f);
    } else if (c == '%') {
        line(0.0f, 0.0f, 1.0f, 2.0f);
        for (const float corner : {0.0f, 0.7f}) {  // the two rings, as squares
            const float y = corner == 0.0f ? 1.4f : 0.0f;
            line(corner, y, corner + 0.3f, y);
            line(corner + 0.3f, y, corner + 0.3f, y + 0.6f);
            line(corner + 0.3f, y + 0.6f, corner, y + 0.6f);
            line(corner, y + 0.6f, corner, y);
        }
    }
}

}  // namespace

void fps_figures::count(std::int64_t now_us) {
    // The first frame starts the count: a second of frames at 20 a second
    // is 20 intervals, and 21 frames with the first.
    if (since_us_ < 0) {
        since_us_ = now_us;
        cpu_since_ = std::clock();
        frames_ = 0;
        return;
    }
    ++frames_;
    if (now_us - since_us_ < 1000000) return;
    const double seconds = static_cast<double>(now_us - since_us_) / 1e6;
    const double cpu = static_cast<double>(std::clock() - cpu_since_) / CLOCKS_PER_SEC;
    char text[32];
    std::snprintf(text, sizeof text, "%.1f %d%%", frames_ / seconds,
                  static_cast<int>(100.0 * cpu / seconds + 0.5));
    text_ = text;
    frames_ = 0;
    since_us_ = now_us;
    cpu_since_ = std::clock();
}

void fps_figures::draw(std::int32_t width, std::int32_t height, std::int64_t now_us) {
    count(now_us);
    if (text_.empty()) return;

    // Figures a fiftieth of the height tall, in pixels from the corner.
    const float size = std::max(6.0f, static_cast<float>(height) / 100.0f);
    glPushAttrib(GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LINE_SMOOTH);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-size, width - size, -size, height - size, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glLineWidth(std::max(1.0f, size / 4.0f));
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glBegin(GL_LINES);
    float x = 0.0f;
    for (const char c : text_) {
        character_lines(c, x, size);
        x += size * (c == '.' ? 1.0f : 1.6f);
    }
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}

}  // namespace quillant
