// SPDX-License-Identifier: MIT
// One rose on screen: an orbit slot laid out as a depth-stepped polyline over
// the window, a mirrored colour ramp, and the drawing progress.
#pragma once

#include "roses/colour.h"
#include "roses/orbit_slot.h"

#include <cstdint>
#include <vector>

namespace quillant {

struct vertex {
    float x;
    float y;
    float z;
};
static_assert(sizeof(vertex) == 12, "vertices are drawn as packed floats");

// Progress of a newly built rose; ageing adds the same step every frame.
inline constexpr std::int32_t progress_step = 3;

struct traj_rose {
    // Builds the rose from a ready slot: dumps its description to standard
    // output, colours it with the base colour (its alpha byte is ignored) and
    // lays it out for the window size.
    traj_rose(const orbit_slot& slot, std::int32_t slot_index, rgba base, float x_min,
              float y_min, float x_max, float y_max, float width, float height);

    // Recomputes the vertices from the slot's points for the bounds and size;
    // leaves them alone while the size is not known.
    void lay_out();

    // Writes the rose's description block to the diagnostics' standard output.
    void dump_rose() const;

    const orbit_slot& slot;  // not owned; stays showing while the rose lives
    std::int32_t slot_index;
    std::vector<vertex> vertices;
    std::vector<rgba> colours;
    float x_min;
    float y_min;
    float x_max;
    float y_max;
    float width;
    float height;
    std::int32_t progress;
};

}  // namespace quillant
