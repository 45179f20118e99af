// SPDX-License-Identifier: MIT
// quillant-snapshot: renders the saver's own scene off-screen and writes
// frames as PNG files, or one moment of it, as a page's link gives it.
//
//   quillant-snapshot [--size WxH] [--seed N] [--frames F] [--every E] [--out DIR]
//                     [--quiet]
//   quillant-snapshot [--size WxH] [--seed N] --frame F [--rose K [--began B]] ...
//   quillant-snapshot [--size WxH] --link LINK ...
//
// Frame k is the k-th frame of a saver started at that size and seed. The
// worker's generation steps run here, one before each frame: the paced
// worker would do about that, and this way the pictures repeat.
#include "render/offscreen_context.h"
#include "render/scene.h"
#include "roses/diagnostics.h"
#include "tools/png_file.h"
#include "tools/snapshot_options.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

// One line on standard error, whatever --quiet says.
void report(const std::string& message) {
    std::fprintf(stderr, "quillant-snapshot: %s\n", message.c_str());
}

// Writes one picture, quillant-<seed>-<frame>.png: the moment of a page's
// link, or the frame of the seed's own run, reached without drawing the
// frames before it; and says the link's query of it. The exit status.
int write_moment(const quillant::snapshot_options& options, quillant::offscreen_context& context) {
    using namespace quillant;
    const std::uint32_t seed = options.at ? options.at->seed : options.seed;
    const std::int64_t frame = options.at ? options.at->frame : *options.frame;
    scene drawn(seed, search_driver::every_frame);
    if (options.at) {
        const std::string why = drawn.reach(*options.at);
        if (!why.empty()) {
            report("no run shows the moment ?" + moment_query(*options.at) + ": " + why);
            return 1;
        }
        drawn.resize(options.width, options.height);
    } else {
        drawn.resize(options.width, options.height);
        drawn.skip_frames(frame - 1);
    }
    drawn.draw_frame();
    const std::string path = options.out + "/quillant-" + std::to_string(seed) + "-" +
                             std::to_string(frame) + ".png";
    if (!write_png(path, options.width, options.height, context.pixels())) {
        report("cannot write " + path);
        return 1;
    }
    report("wrote " + path + ", the moment ?" + moment_query(drawn.now()));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quillant;
    const snapshot_command command =
        read_snapshot_command(std::vector<std::string>(argv + 1, argv + argc));
    if (!command.error.empty()) {
        report(command.error + " (see --help)");
        return 1;
    }
    const snapshot_options& options = command.options;
    if (options.help) {
        std::fputs(snapshot_usage(), stdout);
        return 0;
    }
    if (options.quiet) set_diagnostics_sink(discard_diagnostics);

    std::error_code made;
    std::filesystem::create_directories(options.out, made);
    if (made) {
        report("cannot make the folder '" + options.out + "': " + made.message());
        return 1;
    }
    offscreen_context context(options.width, options.height);
    if (!context.ready()) {
        report("no off-screen GL context");
        return 1;
    }
    if (options.frame || options.at) return write_moment(options, context);
    scene drawn(options.seed, search_driver::every_frame);
    drawn.resize(options.width, options.height);

    for (std::int64_t frame = 1; frame <= options.frames; ++frame) {
        drawn.draw_frame();
        if (frame % options.every != 0) continue;
        char name[32];
        std::snprintf(name, sizeof name, "/frame-%04lld.png", static_cast<long long>(frame));
        const std::string path = options.out + name;
        if (!write_png(path, options.width, options.height, context.pixels())) {
            report("cannot write " + path);
            return 1;
        }
        report("wrote " + path);
    }
    return 0;
}
