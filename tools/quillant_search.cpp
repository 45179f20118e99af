// SPDX-License-Identifier: MIT
// quillant-search: runs a short orbit search the way the saver's worker does
// and prints what it found. The tracing's own lines go to standard error.
//
//   quillant-search [--seed N] [--orbits K]
#include "generation/generation_step.h"
#include "generation/orbit_tracing.h"
#include "generation/random_source.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

struct options {
    bool seeded = false;
    std::uint32_t seed = 0;
    int orbits = 3;
};

bool parse(int argc, char** argv, options& out) {
    for (int i = 1; i < argc; ++i) {
        const bool has_value = i + 1 < argc;
        if (std::strcmp(argv[i], "--seed") == 0 && has_value) {
            out.seeded = true;
            out.seed = static_cast<std::uint32_t>(std::strtoul(argv[++i], nullptr, 10));
        } else if (std::strcmp(argv[i], "--orbits") == 0 && has_value) {
            out.orbits = std::atoi(argv[++i]);
        } else {
            return false;
        }
    }
    return out.orbits > 0;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quillant;
    options opts;
    if (!parse(argc, argv, opts)) {
        std::fprintf(stderr, "usage: quillant-search [--seed N] [--orbits K]\n");
        return 2;
    }
    if (opts.seeded) reseed_random_engine(opts.seed);

    orbit_slot slot;
    for (int found = 1; found <= opts.orbits; ++found) {
        const std::clock_t began = std::clock();
        const auto candidates = static_cast<long>(search_orbit(slot));
        const double seconds = static_cast<double>(std::clock() - began) / CLOCKS_PER_SEC;
        std::printf(
            "orbit %d: c = (%g, %g) after %ld candidates in %.3f s: %d hops, %d points, "
            "centroid (%g, %g), radius %g, angle %g rad\n",
            found, slot.start.real(), slot.start.imag(), candidates, seconds, slot.hops, slot.n,
            slot.centroid.real(), slot.centroid.imag(), slot.radius, slot.angle);
        std::fflush(stdout);
    }
    return 0;
}
