// SPDX-License-Identifier: MIT
// One pass of the worker over the rose set: shows a ready orbit as a new rose
// when there is room, then searches a new orbit for a free slot.
#pragma once

#include "generation/orbit_tracing.h"
#include "generation/random_source.h"
#include "roses/rose_set.h"

#include <cstdint>
#include <memory>

namespace quillant {

inline constexpr double margin = 1.2;

// Each draws its random values from `random`, the process-wide source unless
// a scene gives its own.

// Traces candidates drawn uniformly from [-2, 2) x [-2, 2) into the slot
// until one is accepted. Returns the number of candidates traced.
std::int64_t search_orbit(orbit_slot& slot, random_source& random = shared_random_source());

// Traces at most `limit` such candidates into the slot, stopping at the first
// accepted one. True when one was accepted.
bool search_orbit_for(orbit_slot& slot, std::int64_t limit,
                      random_source& random = shared_random_source());

// The rose of the slot at `index`, in the base colour, over the square of
// the plane about its centre that its radius and the margin give, laid out
// for the set's size. Throws std::bad_alloc when its arrays cannot be had.
std::unique_ptr<traj_rose> make_rose(const rose_set& set, int index, rgba base);

// Shows the first ready slot as a rose if fewer than max_roses live, then
// traces random candidates into the first free slot until one is accepted.
void generation_step(rose_set& set, random_source& random = shared_random_source());

// A generation step taken in pieces, for a host that has no thread to give
// the search and runs it between frames: the same draws in the same order,
// the same slots and lines, as generation_step.
class sliced_generation_step {
public:
    // Takes the step on by at most `candidates` candidates of the search (the
    // showing of a ready slot comes first and counts none). True when the
    // step has ended; the next call begins a new one.
    bool run(rose_set& set, std::int64_t candidates,
             random_source& random = shared_random_source());

    // True between a call that began a step and the one that ends it.
    bool under_way() const { return begun_; }

private:
    bool begun_ = false;
    int searched_slot_ = -1;  // the free slot that the step traces, or -1
};

}  // namespace quillant
