// SPDX-License-Identifier: MIT
#include "x11/fps_overlay_glx.h"

#include <GL/glx.h>

#include <cstdio>
#include <ctime>

namespace quillant {

namespace {

// The printable ASCII characters get glyphs.
constexpr unsigned first_glyph = 32;
constexpr unsigned glyph_count = 95;
constexpr int margin = 8;

// The processor time of the whole process, in microseconds.
std::int64_t process_cpu_us() {
    timespec used{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &used);
    return static_cast<std::int64_t>(used.tv_sec) * 1000000 + used.tv_nsec / 1000;
}

// A bold font of some size, where the server has one; its built-in "fixed"
// otherwise.
XFontStruct* load_font(Display* display) {
    XFontStruct* font = XLoadQueryFont(display, "-*-courier-bold-r-normal-*-*-180-*-*-*-*-*-*");
    return font != nullptr ? font : XLoadQueryFont(display, "fixed");
}

}  // namespace

fps_overlay::fps_overlay(Display* display) : display_(display) {
    font_ = load_font(display);
    if (font_ == nullptr) return;
    glyphs_ = glGenLists(glyph_count);
    if (glyphs_ != 0) glXUseXFont(font_->fid, first_glyph, glyph_count, glyphs_);
}

fps_overlay::~fps_overlay() {
    if (glyphs_ != 0) glDeleteLists(glyphs_, glyph_count);
    if (font_ != nullptr) XFreeFont(display_, font_);
}

void fps_overlay::measure(std::int64_t now_us) {
    const std::int64_t cpu = process_cpu_us();
    ++frames_;
    if (since_wall_us_ < 0) {
        since_wall_us_ = now_us;
        since_cpu_us_ = cpu;
        frames_ = 0;
        return;
    }
    const std::int64_t elapsed = now_us - since_wall_us_;
    if (elapsed < 1000000) return;
    char line[32];
    std::snprintf(line, sizeof line, "FPS:  %.1f", frames_ * 1e6 / static_cast<double>(elapsed));
    rate_ = line;
    // The share of one processor; the renderer's own threads count too.
    std::snprintf(line, sizeof line, "Load: %.1f%%",
                  100.0 * static_cast<double>(cpu - since_cpu_us_) / static_cast<double>(elapsed));
    load_ = line;
    since_wall_us_ = now_us;
    since_cpu_us_ = cpu;
    frames_ = 0;
}

void fps_overlay::draw(std::int32_t width, std::int32_t height, std::int64_t now_us) {
    measure(now_us);
    if (!ready()) return;

    // Keep what the frame relies on, and draw in window pixels.
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIST_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    // Write the lines upwards from the bottom-left corner, in white.
    glColor3f(1.0f, 1.0f, 1.0f);
    glListBase(glyphs_ - first_glyph);
    const int line_height = font_->ascent + font_->descent;
    const std::string* lines[] = {&load_, &rate_};
    int baseline = margin + font_->descent;
    for (const std::string* line : lines) {
        glRasterPos2i(margin, baseline);
        glCallLists(static_cast<GLsizei>(line->size()), GL_UNSIGNED_BYTE, line->data());
        baseline += line_height;
    }

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

}  // namespace quillant
