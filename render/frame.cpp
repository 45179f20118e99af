// SPDX-License-Identifier: MIT
#include "render/frame.h"

#include "platform/platform.h"

#include <GL/gl.h>

#include <cstdint>

namespace quillant {

namespace {

constexpr GLfloat rose_line_width = 2.0f;

}  // namespace

void render_frame(ball_camera& scene, float line_scale) {
    // Set the fixed state, which every frame relies on.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_POLYGON_SMOOTH);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    // Advance under the camera's view; the pop restores the fixed look-at.
    glPushMatrix();
    advance_scene(scene);
    {
        platform::scoped_lock held(scene.roses.lock);
        for (const auto& rose : scene.roses.roses) draw_rose(*rose, line_scale);
        glFlush();
    }
    glPopMatrix();
}

void draw_rose(const traj_rose& rose, float line_scale) {
    const auto n = static_cast<std::int32_t>(rose.vertices.size());
    const std::int32_t p = rose.progress;
    const std::int32_t c0 = rose.slot.n;
    const auto up = static_cast<std::uint32_t>(p);
    const auto un = static_cast<std::uint32_t>(n);

    // Choose the first vertex and the colour offset for the phase.
    std::int32_t first = 0;
    std::int32_t colour = c0;
    if (up < un) {
        first = n - p - 1;  // growing from the last vertex towards vertex 0
    } else if (up < 2 * un) {
        colour = c0 + n - p;  // colours run towards the last vertex
    } else if (up < 3 * un) {
        colour = c0 + p - 3 * n;  // and back
    } else {
        first = p + 1 - 3 * n;  // withering from vertex 0 on
    }
    const std::int32_t count = n - first;
    if (count < 2) return;

    // Draw straight from the rose's arrays, the window chosen by offsets.
    glLineWidth(rose_line_width * line_scale);
    glColorPointer(4, GL_UNSIGNED_BYTE, sizeof(rgba), &rose.colours[colour]);
    glVertexPointer(3, GL_FLOAT, sizeof(vertex), &rose.vertices[first]);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glDrawArrays(GL_LINE_STRIP, 0, count);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
}

}  // namespace quillant
