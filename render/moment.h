// SPDX-License-Identifier: MIT
// A moment of a seed's scene, as a link carries it: what fixes the picture
// of one frame, at any size, and the frames after it. A seed fixes the
// roses, one after another, and the camera's flight frame by frame; only
// when each rose began depends on how its search was timed. So the frame,
// the number of roses shown by then and the frame at which the last of them
// began fix the rest, for one build. Another build (the page's WebAssembly
// beside a native program, or next year's page) rounds the last bit of a
// logarithm otherwise, and an orbit on the edge of acceptance (a two-cycle
// whose vertex angle is 0 or, rounded, no number) can then be taken by one
// and refused by the other, after which their roses differ: so the link
// names the rose on show itself too. Pure, so that the hosts' reading of it
// is tested and fuzzed natively; the scene reaches a moment
// (render/scene.h).
#pragma once

#include "roses/colour.h"

#include <cstdint>
#include <optional>
#include <string>

namespace quillant {

// The rose on show, as its search found it: its starting point c, its
// extent about its centre and its base colour.
struct shown_orbit {
    float re = 0.0f;
    float im = 0.0f;
    float radius = 0.0f;
    rgba colour{0, 0, 0, 255};
};

// A day at the saver's pace of 20 frames a second: a moment later than that
// is refused rather than left to fast-forward for many seconds with nothing
// on screen (a day in takes some 3 s in a browser).
inline constexpr std::int64_t latest_moment_frame = 1728000;

struct moment {
    std::uint32_t seed = 0;
    // The frame shown, 1 the first that the scene draws.
    std::int64_t frame = 0;
    // The roses shown by then, 0 before the first.
    std::int64_t rose = 0;
    // The frame whose drawing the rose on show began with (the first that
    // drew it), or 0 between two roses.
    std::int64_t began = 0;
    // The rose on show, when the link names it.
    std::optional<shown_orbit> orbit;
};

// The parts of a moment as an address or a command line gives them, each
// read alone.
struct moment_parts {
    std::optional<std::uint32_t> seed;
    std::optional<std::int64_t> frame;
    std::optional<std::int64_t> rose;
    std::optional<std::int64_t> began;
    std::optional<shown_orbit> orbit;

    // Whether any part but the seed, which is a setting on its own, is given.
    bool any() const { return frame || rose || began || orbit; }
};

// Whether the name is a part of a moment: seed, frame, rose, began or orbit.
bool is_moment_part(const std::string& name);

// Reads the part of that name. Returns "" when the text is one, and
// otherwise what it is not, for the host's message: "a frame from 1 to
// 1728000".
std::string read_moment_part(const std::string& name, const std::string& text,
                             moment_parts& parts);

// The moment of the parts. Returns "" when they make one, and otherwise
// why not: "a moment needs seed, frame and rose", "began=700 is after
// frame=600". How far each rose lasts is known only to the scene, which
// says what no search could have shown as it reaches the moment.
std::string assemble_moment(const moment_parts& parts, moment& reached);

// The query of a link to the moment: "seed=7&frame=1200&rose=3&began=900
// &orbit=-0.123456791,0.654321015,0.387654334,c8a03c", without began and
// orbit between two roses.
std::string moment_query(const moment& shown);

// Reads a moment from a link: a whole address, or its query alone, with
// the page's other settings in it or not. Returns "" when it holds one,
// and otherwise why not.
std::string read_moment_link(const std::string& link, moment& reached);

}  // namespace quillant
