// SPDX-License-Identifier: MIT
// quillant-snapshot: renders the saver's own scene off-screen and writes
// frames as PNG files.
//
//   quillant-snapshot [--size WxH] [--seed N] [--frames F] [--every E] [--out DIR]
//
// Frame k is the k-th frame of a saver started at that size and seed. The
// worker's generation steps run here, one per frame, between frames: the
// paced worker would do about that, and this way the pictures repeat.
#include "render/offscreen_context.h"
#include "render/scene.h"
#include "roses/diagnostics.h"
#include "tools/png_file.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>

namespace {

struct options {
    std::int32_t width = 1024;
    std::int32_t height = 768;
    std::uint32_t seed = 7;
    int frames = 600;
    int every = 150;
    std::string out = "shots";
    bool quiet = false;
};

bool parse(int argc, char** argv, options& out) {
    for (int i = 1; i < argc; ++i) {
        const std::string flag = argv[i];
        if (flag == "--quiet") {
            out.quiet = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (flag == "--size") {
            if (std::sscanf(value, "%dx%d", &out.width, &out.height) != 2) return false;
        } else if (flag == "--seed") {
            out.seed = static_cast<std::uint32_t>(std::strtoul(value, nullptr, 10));
        } else if (flag == "--frames") {
            out.frames = std::atoi(value);
        } else if (flag == "--every") {
            out.every = std::atoi(value);
        } else if (flag == "--out") {
            out.out = value;
        } else {
            return false;
        }
    }
    return out.width > 0 && out.height > 0 && out.width <= 8192 && out.height <= 8192 &&
           out.frames > 0 && out.every > 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quillant;
    options opts;
    if (!parse(argc, argv, opts)) {
        std::fprintf(stderr,
                     "usage: quillant-snapshot [--size WxH] [--seed N] [--frames F] "
                     "[--every E] [--out DIR] [--quiet]\n");
        return 2;
    }
    if (opts.quiet) set_diagnostics_sink(discard_diagnostics);

    offscreen_context context(opts.width, opts.height);
    if (!context.ready()) {
        std::fprintf(stderr, "quillant-snapshot: no off-screen GL context\n");
        return 1;
    }
    scene drawn(opts.seed, search_driver::every_frame);
    drawn.resize(opts.width, opts.height);
    mkdir(opts.out.c_str(), 0777);

    for (int frame = 1; frame <= opts.frames; ++frame) {
        drawn.draw_frame();
        if (frame % opts.every != 0) continue;
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%04d.png", frame);
        const std::string path = opts.out + name;
        if (!write_png(path, opts.width, opts.height, context.pixels())) {
            std::fprintf(stderr, "quillant-snapshot: cannot write %s\n", path.c_str());
            return 1;
        }
        std::fprintf(stderr, "quillant-snapshot: wrote %s\n", path.c_str());
    }
    return 0;
}
