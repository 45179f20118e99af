// SPDX-License-Identifier: MIT
// Prints the projection and modelview that the desktop builds draw a frame's
// roses with, read back from Mesa's GL, for a window and a camera:
//
//   view-matrices WIDTH HEIGHT X Y Z PITCH YAW
//
// One line of 32 numbers: the projection, then the modelview, column after
// column. For the page's test that its matrices are the same.
#include "render/offscreen_context.h"
#include "render/view.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    using namespace quillant;
    if (argc != 8) {
        std::fputs("usage: view-matrices WIDTH HEIGHT X Y Z PITCH YAW\n", stderr);
        return 2;
    }
    const auto width = static_cast<std::int32_t>(std::atoi(argv[1]));
    const auto height = static_cast<std::int32_t>(std::atoi(argv[2]));
    offscreen_context context(width, height);
    if (!context.ready()) return 1;
    ball_camera camera;
    set_up_view(camera, width, height);
    camera.position = {std::strtof(argv[3], nullptr), std::strtof(argv[4], nullptr),
                       std::strtof(argv[5], nullptr)};
    camera.pitch = std::strtof(argv[6], nullptr);
    camera.yaw = std::strtof(argv[7], nullptr);
    camera.apply_view();

    GLfloat matrices[32];
    glGetFloatv(GL_PROJECTION_MATRIX, matrices);
    glGetFloatv(GL_MODELVIEW_MATRIX, matrices + 16);
    for (int i = 0; i < 32; ++i) std::printf("%s%.9g", i ? " " : "", matrices[i]);
    std::printf("\n");
    return 0;
}
