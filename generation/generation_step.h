// One pass of the worker over the rose set: shows a ready orbit as a new rose
// when there is room, then searches a new orbit for a free slot.
#pragma once

#include "generation/orbit_tracing.h"
#include "roses/rose_set.h"

#include <cstdint>

namespace quillant {

inline constexpr double margin = 1.2;

// Traces candidates drawn uniformly from [-2, 2) x [-2, 2) into the slot
// until one is accepted. Returns the number of candidates traced.
std::int64_t search_orbit(orbit_slot& slot);

// Shows the first ready slot as a rose if fewer than max_roses live, then
// traces random candidates into the first free slot until one is accepted.
void generation_step(rose_set& set);

}  // namespace quillant
